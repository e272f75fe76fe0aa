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
};

QTEST_GUILESS_MAIN(tst_ModNengajo)
#include "tst_modnengajo.moc"
