#include "core/AtariCalendar.h"

#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const AtariDraw Draw {u"年賀状"_s, u"令和8"_s, u"年賀状（令和8年度版）.xml"_s, QDate(2026, 7, 21)};

AtariCard card(const QString &number, qint16 toukyu, const QString &goods, const QString &sender = {},
    const QDate &exchangedOn = {})
{
    return {0, number, toukyu, goods, QDateTime(QDate(2026, 1, 19), QTime(20, 0)), sender, exchangedOn};
}

} // namespace

class tst_AtariCalendar : public QObject
{
    Q_OBJECT

private slots:
    // The whole file of one draw; tests/data/exchange.ics is also what the
    // calendar parser reads back (ics_read_back).
    void oneDraw()
    {
        const QList<AtariCard> cards {
            card(u"123456"_s, 1, u"現金30万円\r\n選べる電子マネー31万円分"_s),
            card(u"****73"_s, 3, u"お年玉切手シート"_s, u"山田, 花子; \\ 叔母"_s),
            card(u"654321"_s, 2, u"ふるさと小包"_s, {}, QDate(2026, 2, 1)),
        };
        QFile expected(TEST_DATA_DIR "/exchange.ics"_L1);
        QVERIFY(expected.open(QIODevice::ReadOnly));
        QCOMPARE(AtariCalendar::IcsBytes(Draw, cards, QDateTime(QDate(2026, 7, 10), QTime(0, 30), Qt::UTC)),
            expected.readAll());
        QCOMPARE(AtariCalendar::FileName(Draw), u"お年玉賞品の引換期限（年賀状 令和8年度）.ics"_s);

        AtariDraw noDay = Draw;
        noDay.exchangeTo = {};
        QVERIFY(AtariCalendar::IcsBytes(noDay, cards, QDateTime::currentDateTimeUtc()).isEmpty());
    }

    // The same draw keeps its event whatever data file judged it and however
    // its deadline was corrected; another draw is another event.
    void uid()
    {
        AtariDraw corrected = Draw;
        corrected.strFileName = u"年賀状（令和8年度版）訂正.xml"_s;
        corrected.exchangeTo = Draw.exchangeTo.addDays(7);
        QCOMPARE(AtariCalendar::Uid(corrected), AtariCalendar::Uid(Draw));
        AtariDraw other = Draw;
        other.strType = u"寄付金付"_s;
        QVERIFY(AtariCalendar::Uid(other) != AtariCalendar::Uid(Draw));
        other = Draw;
        other.strYear = u"令和9"_s;
        QVERIFY(AtariCalendar::Uid(other) != AtariCalendar::Uid(Draw));
    }

    void foldLine_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("folded");
        const QByteArray a75(75, 'a');
        const QByteArray a74(74, 'b');
        QTest::newRow("75 octets: one line") << a75 << a75 + "\r\n";
        QTest::newRow("76 octets") << a75 + "c" << a75 + "\r\n c\r\n";
        QTest::newRow("a continuation holds 74 octets after its space")
            << a75 + a74 + "d" << a75 + "\r\n " + a74 + "\r\n d\r\n";
        // 73 octets, then a three-octet character that would end at octet 76.
        const QByteArray kana = u"あ"_s.toUtf8();
        QTest::newRow("not inside a character")
            << QByteArray(73, 'x') + kana + kana << QByteArray(73, 'x') + "\r\n " + kana + kana + "\r\n";
        QTest::newRow("a character ending at octet 75")
            << QByteArray(72, 'x') + kana + "y" << QByteArray(72, 'x') + kana + "\r\n y\r\n";
    }
    void foldLine()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, folded);
        QCOMPARE(AtariCalendar::FoldLine(line), folded);
    }

    void escapeText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("escaped");
        QTest::newRow("comma, semicolon, backslash") << u"a,b;c\\d"_s << u"a\\,b\\;c\\\\d"_s;
        QTest::newRow("line breaks of each kind") << u"a\r\nb\nc\rd"_s << u"a\\nb\\nc\\nd"_s;
        QTest::newRow("a control character is left out") << u"a\u0007b:c"_s << u"ab:c"_s;
    }
    void escapeText()
    {
        QFETCH(QString, text);
        QFETCH(QString, escaped);
        QCOMPARE(AtariCalendar::EscapeText(text), escaped);
    }
};

QTEST_GUILESS_MAIN(tst_AtariCalendar)
#include "tst_ataricalendar.moc"
