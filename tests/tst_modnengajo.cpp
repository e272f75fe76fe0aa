#include "core/DataFileList.h"
#include "core/Kigen.h"
#include "core/modNengajo.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_ModNengajo : public QObject
{
    Q_OBJECT

private slots:
    void cutAtChar_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QChar>("ch");
        QTest::addColumn<QString>("cut");

        QTest::newRow("system folder with its NUL")
            << u"C:\\WINDOWS\\system32\0\0garbage"_s << QChar(u'\0') << u"C:\\WINDOWS\\system32"_s;
        QTest::newRow("no such character") << u"abc"_s << QChar(u'\0') << u"abc"_s;
        QTest::newRow("starts with it") << u"\0abc"_s << QChar(u'\0') << QString();
        QTest::newRow("first of several") << u"a/b/c"_s << QChar(u'/') << u"a"_s;
        QTest::newRow("case-sensitive") << u"abcABC"_s << QChar(u'B') << u"abcA"_s;
        QTest::newRow("empty text") << QString() << QChar(u'x') << QString();
    }
    void cutAtChar()
    {
        QFETCH(QString, text);
        QFETCH(QChar, ch);
        QFETCH(QString, cut);
        QCOMPARE(modNengajo::CutAtChar(text, ch), cut);
    }

    // The box of a failed list fetch: a build whose server is this computer
    // says where new data come from instead.
    void listFailedText_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<bool>("advice");
        QTest::newRow("127.0.0.1:8080") << u"127.0.0.1:8080"_s << true;
        QTest::newRow("127.1.2.3") << u"127.1.2.3"_s << true;
        QTest::newRow("localhost:80") << u"localhost:80"_s << true;
        QTest::newRow("[::1]") << u"[::1]"_s << true;
        QTest::newRow("a server") << u"data.example.jp"_s << false;
        QTest::newRow("a server that begins with 127") << u"127.example.jp"_s << false;
        QTest::newRow("localhost as part of a name") << u"localhost.example.jp"_s << false;
    }
    void listFailedText()
    {
        QFETCH(QString, host);
        QFETCH(bool, advice);
        const QStringList lines = modNengajo::ListFailedText(host).split(u"\r\n"_s);
        QCOMPARE(lines.first(), u"新着データリストの読み込みに失敗しました。"_s);
        QCOMPARE(lines.size(), advice ? 2 : 1);
        if (advice) {
            QVERIFY(lines.at(1).contains(u"「当選番号データの作成」"_s));
            QVERIFY(lines.at(1).contains(u"「ファイルから追加」"_s));
        }
    }

    void fullWidthDigits_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("text");
        QTest::newRow("class 1") << 1 << u"１"_s;
        QTest::newRow("class 5") << 5 << u"５"_s;
        QTest::newRow("zero") << 0 << u"０"_s;
        QTest::newRow("two digits") << 12 << u"１２"_s;
        QTest::newRow("largest count") << 32767 << u"３２７６７"_s;
    }
    void fullWidthDigits()
    {
        QFETCH(int, n);
        QFETCH(QString, text);
        QCOMPARE(modNengajo::FullWidthDigits(n), text);
    }

    // Years of the 平成 era are written as digits alone; later eras carry their name.
    void captions_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("eraYear");
        QTest::addColumn<QString>("caption");

        QTest::newRow("digits") << u"X"_s << u"17"_s << u"平成17"_s << u"【X平成17年版】"_s;
        QTest::newRow("leading zero kept") << u"年賀状"_s << u"07"_s << u"平成07"_s << u"【年賀状平成07年版】"_s;
        QTest::newRow("empty year") << u"年賀状"_s << QString() << u"平成"_s << u"【年賀状平成年版】"_s;
        QTest::newRow("era name") << u"年賀状"_s << u"令和8"_s << u"令和8"_s << u"【年賀状令和8年版】"_s;
        QTest::newRow("平成 written out") << u"年賀状"_s << u"平成26"_s << u"平成26"_s << u"【年賀状平成26年版】"_s;
    }
    void captions()
    {
        QFETCH(QString, type);
        QFETCH(QString, year);
        QFETCH(QString, eraYear);
        QFETCH(QString, caption);
        QCOMPARE(modNengajo::EraYearText(year), eraYear);
        QCOMPARE(modNengajo::TypeCaptionText(type, year), caption);
    }

    // The Western year by which the card-type list puts the newest draw first.
    void drawYear_data()
    {
        QTest::addColumn<QString>("year");
        QTest::addColumn<int>("western"); // 0: cannot be read

        QTest::newRow("digits alone are 平成") << u"26"_s << 2014;
        QTest::newRow("leading zero") << u"07"_s << 1995;
        QTest::newRow("平成 written out") << u"平成30"_s << 2018;
        QTest::newRow("令和") << u"令和8"_s << 2026;
        QTest::newRow("令和 after the last 平成") << u"令和1"_s << 2019;
        QTest::newRow("another era") << u"昭和60"_s << 0;
        QTest::newRow("era without digits") << u"令和"_s << 0;
        QTest::newRow("full-width digits") << u"令和８"_s << 0;
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("too many digits to be a year") << u"2026001"_s << 0;
    }
    void drawYear()
    {
        QFETCH(QString, year);
        QFETCH(int, western);
        QCOMPARE(modNengajo::DrawYear(year).value_or(0), western);
    }

    void shownNumbers_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("maxNumbers"); // the longest class of the file
        QTest::addColumn<QString>("shown");

        const auto numbers = [](int from, int to) {
            QStringList made;
            for (int n = from; n <= to; ++n)
                made.append(QString::number(n).rightJustified(2, u'0'));
            return made.join(u"\r\n"_s);
        };
        QTest::newRow("three") << 3 << 3 << numbers(1, 3);
        QTest::newRow("a shorter class than the longest") << 2 << 5 << numbers(1, 2);
        QTest::newRow("as many as are shown") << 20 << 20 << numbers(1, 20);
        QTest::newRow("one more than is shown") << 21 << 21 << numbers(1, 19) + u"\r\nほか2個"_s;
        // A file the schema allows: the prize list grew 524,397 px tall.
        QTest::newRow("the most a file may hold") << 32767 << 32767 << numbers(1, 19) + u"\r\nほか32748個"_s;
    }
    void shownNumbers()
    {
        QFETCH(int, count);
        QFETCH(int, maxNumbers);
        PrizeClass prizeClass;
        prizeClass.strNumbers.append(QString());
        for (int n = 1; n <= count; ++n)
            prizeClass.strNumbers.append(QString::number(n).rightJustified(2, u'0'));
        QTEST(modNengajo::ShownNumbersText(prizeClass, maxNumbers), "shown");
    }

    // The deadline line for the days around the last day of the exchange.
    void kigenText_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QDate>("exchangeTo");
        QTest::addColumn<KigenLine>("line");

        const QDate last(2026, 7, 21);
        QTest::newRow("no last day") << QDate(2026, 1, 25) << QDate() << KigenLine {};
        QTest::newRow("15 days before") << last.addDays(-15) << last
                                        << KigenLine {u"賞品の引換は2026年7月21日まで（あと15日）"_s, false};
        QTest::newRow("14 days before") << last.addDays(-14) << last
                                        << KigenLine {u"賞品の引換は2026年7月21日まで（あと14日）"_s, true};
        QTest::newRow("1 day before") << last.addDays(-1) << last
                                      << KigenLine {u"賞品の引換は2026年7月21日まで（あと1日）"_s, true};
        QTest::newRow("the last day") << last << last << KigenLine {u"賞品の引換は本日2026年7月21日までです"_s, true};
        QTest::newRow("1 day after") << last.addDays(1) << last
                                     << KigenLine {u"賞品の引換期間は2026年7月21日で終わりました"_s, true};
        QTest::newRow("across the new year") << QDate(2025, 12, 31) << QDate(2026, 1, 2)
                                             << KigenLine {u"賞品の引換は2026年1月2日まで（あと2日）"_s, true};
        QTest::newRow("whole period ahead")
            << QDate(2026, 1, 20) << last << KigenLine {u"賞品の引換は2026年7月21日まで（あと182日）"_s, false};
    }
    void kigenText()
    {
        QFETCH(QDate, today);
        QFETCH(QDate, exchangeTo);
        QFETCH(KigenLine, line);
        QCOMPARE(modNengajo::KigenText(today, exchangeTo), line);
    }

    void kikanText_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QString>("text");
        QTest::newRow("both days, with weekdays")
            << QDate(2026, 1, 20) << QDate(2026, 7, 21) << u"引換期間：2026年1月20日（火）～2026年7月21日（火）"_s;
        QTest::newRow("Sunday and Saturday")
            << QDate(2023, 1, 15) << QDate(2023, 1, 21) << u"引換期間：2023年1月15日（日）～2023年1月21日（土）"_s;
        QTest::newRow("no last day") << QDate(2026, 1, 20) << QDate() << u"引換期間：(なし)"_s;
        QTest::newRow("no dates") << QDate() << QDate() << u"引換期間：(なし)"_s;
        QTest::newRow("last day only") << QDate() << QDate(2026, 7, 21) << u"引換期間：～2026年7月21日（火）"_s;
    }
    void kikanText()
    {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QString, text);
        QCOMPARE(modNengajo::KikanText(from, to), text);
    }

    // What a failed comparison prints of a value: its fields in order, texts
    // quoted, nested values as they print themselves.
    void debugText()
    {
        QCOMPARE(QDebug::toString(NewDataEntry {u"令和8"_s, u"http://a/b.xml"_s}),
            u"NewDataEntry(\"令和8\", \"http://a/b.xml\")"_s);
        QCOMPARE(QDebug::toString(KigenLine {u"あと3日"_s, true}), u"KigenLine(\"あと3日\", true)"_s);
        PrizeClass prizeClass {u"1等"_s, {QString(), u"123456"_s}, u"現金"_s};
        QCOMPARE(QDebug::toString(prizeClass), u"PrizeClass(\"1等\", QList(\"\", \"123456\"), \"現金\")"_s);
    }
};

QTEST_GUILESS_MAIN(tst_ModNengajo)
#include "tst_modnengajo.moc"
