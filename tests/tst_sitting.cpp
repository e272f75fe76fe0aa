#include "fakeservices.h"
#include "testsupport.h"

#include "core/CheckRecord.h"
#include "ui/Fonts.h"
#include "ui/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QLabel>

#include <memory>

namespace {

// 1等 109681, 2等 6417, 3等 73 42 11.
const QString Reiwa5 = QStringLiteral("年賀状（令和5年度版）");
// 1等 394372, 2等 1879, 3等 71 69 00.
const QString Reiwa6 = QStringLiteral("年賀状（令和6年度版）");

} // namespace

// The record of a sitting's cards against the main window's counters.
class tst_Sitting : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<testsupport::ProgramFolderFixture> m_folder;
    std::unique_ptr<testsupport::FakeServices> m_fakes;
    std::unique_ptr<frmMain> m_window;

    QString labelText(const QString &name) const { return m_window->findChild<QLabel *>(name)->text(); }

    void typeKeys(const QString &keys)
    {
        for (const QChar c : keys)
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
    }

private slots:
    void initTestCase() { Fonts::installSubstitutions(); }

    void init()
    {
        testsupport::resetModule();
        m_folder = std::make_unique<testsupport::ProgramFolderFixture>();
        m_fakes = std::make_unique<testsupport::FakeServices>();
        QVERIFY(m_folder->addSchema());
        for (const QString &name : {Reiwa5, Reiwa6})
            QVERIFY(m_folder->addData(testsupport::bundledPath(name + QStringLiteral(".xml"))));
        modNengajo::winningData().strFileName = Reiwa5 + QStringLiteral(".xml");
        QCOMPARE(modNengajo::LoadDataFile(Reiwa5 + QStringLiteral(".xml"), modNengajo::SchemaFileName), 0);
        m_window = std::make_unique<frmMain>();
        m_window->ShowTypeCaption();
        m_window->AllClear();
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    void cleanup()
    {
        m_window.reset();
        m_fakes.reset();
        m_folder.reset();
        testsupport::resetModule();
    }

    void recordFollowsTheCounters_data()
    {
        QTest::addColumn<QStringList>("steps"); // digits typed, or "clear", "up", "load <card type>"
        QTest::addColumn<QList<CheckedCard>>("expected");
        QTest::addColumn<QString>("checkCount");

        using Cards = QList<CheckedCard>;
        QTest::newRow("a loss") << QStringList {"99"} << Cards {{"****99", 0}} << "1";
        QTest::newRow("a two-digit hit") << QStringList {"73"} << Cards {{"****73", 3}} << "1";
        QTest::newRow("a two-stage hit") << QStringList {"811096"} << Cards {{"109681", 1}} << "1";
        QTest::newRow("a two-stage loss") << QStringList {"810000"} << Cards {{"000081", 0}} << "1";
        QTest::newRow("a card waiting for its upper digits is not recorded")
            << QStringList {"42", "17"} << Cards {{"****42", 3}} << "1";
        QTest::newRow("several cards in order")
            << QStringList {"99", "73", "170064", "811096", "42"}
            << Cards {{"****99", 0}, {"****73", 3}, {"006417", 2}, {"109681", 1}, {"****42", 3}} << "5";
        QTest::newRow("a clear") << QStringList {"99", "73", "clear", "11"} << Cards {{"****11", 3}} << "1";
        QTest::newRow("a load") << QStringList {"73", "811096", "load " + Reiwa6, "71", "723943"}
                                << Cards {{"****71", 3}, {"394372", 1}} << "2";
        QTest::newRow("the check count's own corrections leave the record alone")
            << QStringList {"99", "up", "up", "73"} << Cards {{"****99", 0}, {"****73", 3}} << "4";
    }

    void recordFollowsTheCounters()
    {
        QFETCH(QStringList, steps);
        QFETCH(QList<CheckedCard>, expected);

        for (const QString &step : steps) {
            if (step == u"clear")
                m_window->findChild<QAction *>(QStringLiteral("mnuClear"))->trigger();
            else if (step == u"up")
                m_window->findChild<QAction *>(QStringLiteral("mnuUp"))->trigger();
            else if (step.startsWith(QLatin1String("load ")))
                QVERIFY(m_window->useDataFile(step.mid(5) + QStringLiteral(".xml")));
            else
                typeKeys(step);
        }

        const CheckRecord &record = m_window->checkRecord();
        QCOMPARE(record.cards(), expected);
        QTEST(labelText(QStringLiteral("lblCheckCnt")), "checkCount");
        for (qint16 k = 1; k <= 3; ++k) {
            QCOMPARE(labelText(QStringLiteral("lblAtariCnt_%1").arg(k - 1)), QString::number(record.hitCount(k)));
            QCOMPARE(modNengajo::winningData().prizeClass(k).intAtariCnt, record.hitCount(k));
        }
        QCOMPARE(labelText(QStringLiteral("lblGoukeiCnt")), QString::number(record.hitTotal()));
        QVERIFY(m_fakes->messageBox.shown.isEmpty());
    }
};

QTEST_MAIN(tst_Sitting)
#include "tst_sitting.moc"
