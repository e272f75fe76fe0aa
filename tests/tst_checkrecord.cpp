#include "core/AtariList.h"
#include "core/CheckRecord.h"

#include <QSignalSpy>
#include <QTest>

// The sitting's one owner of its cards and counts: what a card, a correction
// of the check count and a clear do to them.
class tst_CheckRecord : public QObject
{
    Q_OBJECT

private:
    // "12:3 5:1" for three hits of class 12 and one of class 5, lowest class first.
    static QString hitsText(const CheckRecord &record)
    {
        QStringList parts;
        for (const auto &[toukyu, count] : record.hitsPerClass().asKeyValueRange())
            parts.append(QString::number(toukyu) + u':' + QString::number(count));
        return parts.join(u' ');
    }

private slots:
    void counts_data()
    {
        // Steps: a class number for a card that won it, 0 for a lost card,
        // "up" and "down" for the corrections, "clear".
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("checkCount");
        QTest::addColumn<QString>("hits");
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("cards");
        QTest::addColumn<int>("refused"); // corrections that changed nothing

        QTest::newRow("nothing yet") << QStringList {} << 0 << "" << 0 << 0 << 0;
        QTest::newRow("losses count as cards") << QStringList {"0", "0"} << 2 << "" << 0 << 2 << 0;
        QTest::newRow("three of class 2 and one of class 5 among losses")
            << QStringList {"2", "0", "2", "5", "0", "2"} << 6 << "2:3 5:1" << 4 << 6 << 0;
        QTest::newRow("a class without a counter row still counts")
            << QStringList {"7", "1"} << 2 << "1:1 7:1" << 2 << 2 << 0;
        // The corrections change the check count and nothing else.
        QTest::newRow("up then down comes back") << QStringList {"3", "up", "down"} << 1 << "3:1" << 1 << 1 << 0;
        QTest::newRow("down takes no card and no hit")
            << QStringList {"3", "0", "down", "down"} << 0 << "3:1" << 1 << 2 << 0;
        QTest::newRow("down at 0 is refused") << QStringList {"down", "3", "down", "down"} << 0 << "3:1" << 1 << 1 << 2;
        QTest::newRow("cards after corrections count on from them")
            << QStringList {"up", "up", "0", "4"} << 4 << "4:1" << 1 << 2 << 0;
        QTest::newRow("a clear zeroes everything") << QStringList {"1", "up", "0", "clear"} << 0 << "" << 0 << 0 << 0;
        QTest::newRow("cards after a clear") << QStringList {"1", "clear", "5"} << 1 << "5:1" << 1 << 1 << 0;
    }

    void counts()
    {
        QFETCH(QStringList, steps);

        CheckRecord record;
        QSignalSpy changed(&record, &CheckRecord::countsChanged);
        int refused = 0;
        for (const QString &step : steps) {
            if (step == u"up")
                refused += record.countUp() ? 0 : 1;
            else if (step == u"down")
                refused += record.countDown() ? 0 : 1;
            else if (step == u"clear")
                record.clear();
            else
                record.add(QStringLiteral("****00"), static_cast<qint16>(step.toShort()));
        }

        QTEST(int(record.intCheckCnt()), "checkCount");
        QTEST(hitsText(record), "hits");
        QTEST(int(record.hitTotal()), "total");
        QTEST(int(record.cards().size()), "cards");
        QTEST(refused, "refused");
        // Every step that changed a count told it once; a refused one did not.
        QCOMPARE(changed.size(), steps.size() - refused);
    }

    // The counts are 16-bit and stop at 32767; the record keeps every card.
    void countsStopAtTheCountersBound()
    {
        CheckRecord record;
        QSignalSpy added(&record, &CheckRecord::cardAdded);
        for (int i = 0; i < CheckRecord::MaxCount; ++i)
            record.add(QStringLiteral("****07"), 5);
        record.add(QStringLiteral("****07"), 5);
        record.add(QStringLiteral("****99"), 0);
        record.add(QStringLiteral("****34"), 4);

        QCOMPARE(record.cards().size(), CheckRecord::MaxCount + 3);
        QCOMPARE(added.size(), CheckRecord::MaxCount + 3);
        QCOMPARE(added.last().at(0).value<qsizetype>(), CheckRecord::MaxCount + 2);
        QCOMPARE(record.intCheckCnt(), CheckRecord::MaxCount);
        QCOMPARE(record.intAtariCnt(5), CheckRecord::MaxCount);
        QCOMPARE(record.intAtariCnt(4), 1);
        QCOMPARE(record.hitTotal(), CheckRecord::MaxCount);
        QCOMPARE(AtariList::TotalsText(record.hitsPerClass(), record.hitTotal()),
            QStringLiteral("４等 1枚　５等 32767枚　合計 32767枚"));

        // At the bound "↑+1" is refused; "↓-1" takes one off what is shown.
        QVERIFY(!record.countUp());
        QVERIFY(record.countDown());
        QCOMPARE(record.intCheckCnt(), CheckRecord::MaxCount - 1);

        QSignalSpy cleared(&record, &CheckRecord::cleared);
        record.clear();
        QCOMPARE(cleared.size(), 1);
        QCOMPARE(record.intCheckCnt(), 0);
        QCOMPARE(record.intAtariCnt(5), 0);
        QCOMPARE(AtariList::TotalsText(record.hitsPerClass(), record.hitTotal()), QStringLiteral("合計 0枚"));
    }
};

QTEST_GUILESS_MAIN(tst_CheckRecord)
#include "tst_checkrecord.moc"
