#include "platform/stoprequest.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>

class tst_StopRequest : public QObject
{
    Q_OBJECT

private slots:
    void signalEndsThroughTheEventLoop_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("shutdown") << SIGTERM;
        QTest::newRow("interrupt") << SIGINT;
        QTest::newRow("hang-up") << SIGHUP;
    }

    // The request arrives as a call on the event loop, never inside the
    // handler; work that keeps the loop waiting knows of it at once.
    void signalEndsThroughTheEventLoop()
    {
        QFETCH(int, signalNumber);
        int calls = 0;
        // The request of a row before went with its watcher.
        QVERIFY(!platform::stopRequested());
        platform::StopRequestWatcher watcher([&calls] { ++calls; });
        QCOMPARE(std::raise(signalNumber), 0);
        QVERIFY(platform::stopRequested());
        QCOMPARE(calls, 0);
        QTRY_COMPARE(calls, 1);
    }

    // Each watcher installs the handlers afresh, and only one watches at a time.
    void oneWatcherAtATime()
    {
        int first = 0;
        int second = 0;
        platform::StopRequestWatcher watcher([&first] { ++first; });
        {
            platform::StopRequestWatcher other([&second] { ++second; });
        }
        QCOMPARE(std::raise(SIGTERM), 0);
        QTRY_COMPARE(first, 1);
        QCOMPARE(second, 0);
    }
};

QTEST_GUILESS_MAIN(tst_StopRequest)
#include "tst_stoprequest.moc"
