#include "core/AtariHantei.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QTest>

namespace {

using testsupport::makeWinningNumbers;

// The worked example: class 1 holds 123421 (upper part U = 1234), class 3 holds
// 521 and 021, class 4 holds 34, class 5 holds 07 and 58.
WinningData workedExample()
{
    return makeWinningNumbers(
        {{QStringLiteral("123421")}, {QStringLiteral("9999")}, {QStringLiteral("521"), QStringLiteral("021")},
            {QStringLiteral("34")}, {QStringLiteral("07"), QStringLiteral("58")}});
}

} // namespace

class tst_Judgement : public QObject
{
    Q_OBJECT

private slots:
    void simo_data()
    {
        QTest::addColumn<QList<QStringList>>("classes");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("toukyu");
        QTest::addColumn<QList<Kouho>>("kouho");

        const QList<QStringList> example {{QStringLiteral("123421")}, {QStringLiteral("9999")},
            {QStringLiteral("521"), QStringLiteral("021")}, {QStringLiteral("34")},
            {QStringLiteral("07"), QStringLiteral("58")}};
        // The worked example
        QTest::newRow("21 leaves candidates, class 3 first")
            << example << "21" << 2 << 0 << QList<Kouho> {{3, 1}, {3, 2}, {1, 1}};
        QTest::newRow("34 wins class 4") << example << "34" << 1 << 4 << QList<Kouho> {};
        QTest::newRow("07 wins class 5") << example << "07" << 1 << 5 << QList<Kouho> {};
        QTest::newRow("99 is a candidate of class 2") << example << "99" << 2 << 0 << QList<Kouho> {{2, 1}};
        QTest::newRow("00 loses") << example << "00" << 0 << 0 << QList<Kouho> {};
        QTest::newRow("class 4 holding 21 decides at once")
            << QList<QStringList> {{QStringLiteral("123421")}, {}, {QStringLiteral("521")}, {QStringLiteral("21")}}
            << "21" << 1 << 4 << QList<Kouho> {};

        // Text, not numbers: leading zeros count
        QTest::newRow("05 against one-digit 5")
            << QList<QStringList> {{QStringLiteral("5")}} << "05" << 0 << 0 << QList<Kouho> {};
        QTest::newRow("05 against 105") << QList<QStringList> {{QStringLiteral("105")}} << "05" << 2 << 0
                                        << QList<Kouho> {{1, 1}};
        QTest::newRow("05 against 05") << QList<QStringList> {{QStringLiteral("05")}} << "05" << 1 << 1
                                       << QList<Kouho> {};
        QTest::newRow("05 against 50") << QList<QStringList> {{QStringLiteral("50")}} << "05" << 0 << 0
                                       << QList<Kouho> {};

        // Order and tie-breaks
        QTest::newRow("same two digits in two classes: higher class wins")
            << QList<QStringList> {{QStringLiteral("44")}, {QStringLiteral("44")}} << "44" << 1 << 2 << QList<Kouho> {};
        QTest::newRow("hit keeps candidates found before it")
            << QList<QStringList> {{QStringLiteral("12")}, {QStringLiteral("3412"), QStringLiteral("12")}} << "12" << 1
            << 2 << QList<Kouho> {{2, 1}};
        QTest::newRow("eight-digit number is a candidate")
            << QList<QStringList> {{QStringLiteral("12345678")}} << "78" << 2 << 0 << QList<Kouho> {{1, 1}};
        QTest::newRow("empty positions never match") << QList<QStringList> {
            {QStringLiteral("11"), QStringLiteral("22"), QStringLiteral("33")},
            {QStringLiteral("44")}} << "44" << 1 << 2 << QList<Kouho> {};
        QTest::newRow("no data") << QList<QStringList> {} << "21" << 0 << 0 << QList<Kouho> {};
    }

    void simo()
    {
        QFETCH(QList<QStringList>, classes);
        QFETCH(QString, entry);
        QFETCH(int, result);
        QFETCH(int, toukyu);
        QFETCH(QList<Kouho>, kouho);

        const WinningData data = makeWinningNumbers(classes);
        AtariHantei hantei;
        hantei.arrKouho = {{9, 9}}; // left over from an earlier card
        hantei.intAtariToukyu = 7;
        QCOMPARE(hantei.AtariHantei_Simo(data, entry), result);
        QCOMPARE(hantei.intAtariToukyu, toukyu);
        QCOMPARE(hantei.arrKouho, kouho);
    }

    void kami_data()
    {
        QTest::addColumn<QList<QStringList>>("classes");
        QTest::addColumn<QString>("lower");
        QTest::addColumn<QString>("upper");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("toukyu");

        const QList<QStringList> example {{QStringLiteral("123421")}, {QStringLiteral("9999")},
            {QStringLiteral("521"), QStringLiteral("021")}, {QStringLiteral("34")},
            {QStringLiteral("07"), QStringLiteral("58")}};
        QTest::newRow("upper equal to U wins class 1") << example << "21"
                                                       << "1234" << 1 << 1;
        QTest::newRow("upper ending in 5 wins class 3 by 521") << example << "21"
                                                               << "9995" << 1 << 3;
        QTest::newRow("upper ending in 0 wins class 3 by 021") << example << "21"
                                                               << "0000" << 1 << 3;
        QTest::newRow("upper ending in 1 loses") << example << "21"
                                                 << "1111" << 0 << 0;
        QTest::newRow("four-digit class 2") << example << "99"
                                            << "0099" << 1 << 2;
        QTest::newRow("four-digit class 2 loses") << example << "99"
                                                  << "0098" << 0 << 0;
        QTest::newRow("lowest matching class wins")
            << QList<QStringList> {{QStringLiteral("345621")}, {}, {QStringLiteral("621")}} << "21"
            << "3456" << 1 << 1;
        QTest::newRow("leading zero of a six-digit number") << QList<QStringList> {{QStringLiteral("012345")}} << "45"
                                                            << "0123" << 1 << 1;
        QTest::newRow("leading zero needs the zero") << QList<QStringList> {{QStringLiteral("012345")}} << "45"
                                                     << "1123" << 0 << 0;
        QTest::newRow("eight-digit number never matches") << QList<QStringList> {{QStringLiteral("12345678")}} << "78"
                                                          << "3456" << 0 << 0;
    }

    void kami()
    {
        QFETCH(QList<QStringList>, classes);
        QFETCH(QString, lower);
        QFETCH(QString, upper);
        QFETCH(int, result);
        QFETCH(int, toukyu);

        const WinningData data = makeWinningNumbers(classes);
        AtariHantei hantei;
        QCOMPARE(hantei.AtariHantei_Simo(data, lower), qint16(2));
        const QList<Kouho> candidates = hantei.arrKouho;
        QCOMPARE(hantei.AtariHantei_Kami(data, upper), result);
        QCOMPARE(hantei.intAtariToukyu, toukyu);
        QCOMPARE(hantei.arrKouho, candidates); // only read
    }

    // A file read without the schema may hold 32767 classes, one of them with
    // 32767 numbers: judging walks each class's own numbers, not every class
    // as far as the longest one, so a card takes moments instead of a minute.
    void manyClassesWithOneLongClass()
    {
        constexpr int Count = 32767;
        WinningData data;
        data.intClassCount = Count;
        data.intMaxNumbers = Count;
        data.Classes = QList<PrizeClass>(Count + 1, PrizeClass {{}, QStringList(1), {}});
        data.Classes[1].strNumbers = QStringList(Count + 1, QStringLiteral("000021"));

        QElapsedTimer timer;
        timer.start();
        AtariHantei hantei;
        QCOMPARE(hantei.AtariHantei_Simo(data, QStringLiteral("21")), qint16(2));
        QCOMPARE(hantei.arrKouho.size(), Count);
        QCOMPARE(hantei.arrKouho.first(), Kouho({1, 1}));
        QCOMPARE(hantei.AtariHantei_Simo(data, QStringLiteral("22")), qint16(0));
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
    }

    void kamiResetsPreviousHit()
    {
        const WinningData data = workedExample();
        AtariHantei hantei;
        QCOMPARE(hantei.AtariHantei_Simo(data, QStringLiteral("21")), qint16(2));
        QCOMPARE(hantei.AtariHantei_Kami(data, QStringLiteral("1234")), qint16(1));
        QCOMPARE(hantei.AtariHantei_Kami(data, QStringLiteral("1111")), qint16(0));
        QCOMPARE(hantei.intAtariToukyu, qint16(0));
    }
};

QTEST_GUILESS_MAIN(tst_Judgement)
#include "tst_judgement.moc"
