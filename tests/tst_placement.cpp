#include "ui/Placement.h"

#include <QTest>
#include <QWidget>

// Where the prize list and the list of won cards open next to the main window.
class tst_Placement : public QObject
{
    Q_OBJECT

private slots:
    void besideRect_data()
    {
        QTest::addColumn<QRect>("available"); // the screen's area for windows
        QTest::addColumn<QRect>("anchor"); // the main window's frame
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("expected");

        const QRect desktop(0, 0, 1920, 1040);
        const QRect small(0, 0, 800, 600);
        QTest::newRow("room on the right")
            << desktop << QRect(100, 100, 400, 300) << QSize(600, 500) << QRect(508, 100, 600, 500);
        QTest::newRow("near the right edge: on the left")
            << desktop << QRect(1400, 100, 400, 300) << QSize(600, 500) << QRect(792, 100, 600, 500);
        QTest::newRow("low on the screen: beside and raised")
            << desktop << QRect(100, 700, 400, 300) << QSize(600, 500) << QRect(508, 540, 600, 500);
        QTest::newRow("no room beside: below")
            << QRect(0, 0, 1024, 768) << QRect(300, 0, 450, 300) << QSize(600, 400) << QRect(300, 308, 600, 400);
        QTest::newRow("no room anywhere: over as little of it as the screen allows")
            << small << QRect(0, 0, 400, 300) << QSize(600, 500) << QRect(200, 0, 600, 500);
        QTest::newRow("larger than the screen: shrunk to it")
            << small << QRect(0, 0, 400, 300) << QSize(1200, 700) << QRect(0, 0, 800, 600);
        QTest::newRow("a second screen left of the first") << QRect(-1280, 0, 1280, 1024) << QRect(-1200, 50, 400, 300)
                                                           << QSize(600, 500) << QRect(-792, 50, 600, 500);
    }

    void besideRect()
    {
        QFETCH(QRect, available);
        QFETCH(QRect, anchor);
        QFETCH(QSize, size);

        const QRect placed = Placement::besideRect(anchor, size, available);

        QTEST(placed, "expected");
        QVERIFY(available.contains(placed));
    }

    // What waits for the main window to be on screen runs then, once.
    void atFirstShow()
    {
        QWidget window;
        int runs = 0;
        Placement::atFirstShow(&window, [&runs] { ++runs; });
        QCoreApplication::processEvents();
        QCOMPARE(runs, 0);
        window.show();
        QTRY_COMPARE(runs, 1);
        window.hide();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCoreApplication::processEvents();
        QCOMPARE(runs, 1);
    }
};

QTEST_MAIN(tst_Placement)
#include "tst_placement.moc"
