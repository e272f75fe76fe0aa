// The download command's jobs on their own, with transfers the test ends by
// hand: the list fetch and the downloads, one file after another, a cancel
// that ends a job at once, and ends that come too late. What the windows
// show of them is tested with the windows.

#include "core/DownloadJob.h"
#include "core/NewData.h"
#include "core/NewDataListJob.h"
#include "fakeservices.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTest>

#include <deque>

namespace {

// Transfers that run until the test ends them through their watch.
class HandTransfers final : public platform::HttpTransfer
{
public:
    struct Started
    {
        QString url;
        platform::TransferWatch *watch = nullptr;
        bool gone = false;
    };
    std::deque<Started> started;

    std::unique_ptr<platform::RunningTransfer> start(const QString &url, platform::TransferWatch *watch) override
    {
        started.push_back({url, watch, false});
        return std::make_unique<Running>(&started.back().gone);
    }
    void end(std::size_t index, const QByteArray &body, bool ok = true)
    {
        started.at(index).watch->transferEnded({ok, body, {}, ok ? 200L : 404L, false});
    }

private:
    struct Running final : platform::RunningTransfer
    {
        explicit Running(bool *gone)
            : m_gone(gone)
        { }
        ~Running() override { *m_gone = true; }
        bool *m_gone;
    };
};

} // namespace

class tst_DownloadJob : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void oneAfterAnother();
    void cancelEndsItAtOnce();
    void lateEndOfAnEarlierRun();
    void transferEndedBeforeItsStartReturned();
    void listFetch_data();
    void listFetch();
    void listFetchCancelled();

private:
    std::unique_ptr<testsupport::FakeServices> m_services;
    std::unique_ptr<testsupport::ProgramFolderFixture> m_folder;
    HandTransfers m_http;
    std::unique_ptr<platform::ScopedService<platform::HttpTransfer>> m_httpGuard;
    const QList<NewDataEntry> m_entries {{"a", "http://a.test/a.xml"}, {"b", "http://a.test/b.xml"}};
};

void tst_DownloadJob::init()
{
    m_services = std::make_unique<testsupport::FakeServices>();
    m_folder = std::make_unique<testsupport::ProgramFolderFixture>();
    QVERIFY(m_folder->addSchema());
    m_http.started.clear();
    m_httpGuard = std::make_unique<platform::ScopedService<platform::HttpTransfer>>(m_http);
}

void tst_DownloadJob::cleanup()
{
    m_httpGuard.reset();
    m_folder.reset();
    m_services.reset();
}

// The next file is asked for only once the one before is stored, and its
// transfer is gone by then.
void tst_DownloadJob::oneAfterAnother()
{
    DownloadJob job;
    QSignalSpy steps(&job, &DownloadJob::stepStarted);
    QSignalSpy finished(&job, &DownloadJob::finished);
    job.start(m_entries);
    QCOMPARE(m_http.started.size(), 1u);

    m_http.end(0, testsupport::dataFileBytes("11"));
    QTRY_COMPARE(m_http.started.size(), 2u);
    QVERIFY(m_http.started.at(0).gone);
    QVERIFY(job.isRunning());
    QVERIFY(QFile::exists(m_folder->dataPath("a.xml")));

    m_http.end(1, "<html>portal</html>");
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(job.outcome().code, DownloadJob::Ending::Completed);
    QCOMPARE(job.report(), QStringLiteral("・a\r\n"));
    QCOMPARE(job.refused(), QStringLiteral("・b\r\n"));
    QCOMPARE(steps.size(), 2);
    QCOMPARE(steps.at(1), (QVariantList {QStringLiteral("ダウンロードしています（2/2）"), QStringLiteral("b")}));
}

// Cancel ends the transfer and the job before it returns; an end the
// transfer had already told is not heard any more.
void tst_DownloadJob::cancelEndsItAtOnce()
{
    DownloadJob job;
    QSignalSpy finished(&job, &DownloadJob::finished);
    job.start(m_entries);
    m_http.end(0, testsupport::dataFileBytes("11"));
    job.cancel();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(job.outcome().code, DownloadJob::Ending::Cancelled);
    QVERIFY(m_http.started.at(0).gone);

    // The end told before the cancel waits in the event queue.
    QCoreApplication::processEvents();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(job.outcome().code, DownloadJob::Ending::Cancelled);
    QCOMPARE(m_http.started.size(), 1u);
    QVERIFY(!QFile::exists(m_folder->dataPath("a.xml")));
}

// A second run is not ended by what the first run's transfer told late.
void tst_DownloadJob::lateEndOfAnEarlierRun()
{
    DownloadJob job;
    QSignalSpy finished(&job, &DownloadJob::finished);
    job.start(m_entries);
    m_http.end(0, {}, false);
    job.cancel();
    job.start(m_entries.mid(1));
    QCOMPARE(m_http.started.size(), 2u);
    m_http.end(1, testsupport::dataFileBytes("22"));
    QTRY_COMPARE(finished.size(), 2);
    QCOMPARE(job.outcome().code, DownloadJob::Ending::Completed);
    QCOMPARE(job.report(), QStringLiteral("・b\r\n"));
}

// A transfer refused at once (the fake, a bad address) ends inside start().
void tst_DownloadJob::transferEndedBeforeItsStartReturned()
{
    platform::FakeHttpTransfer http;
    http.bodies.insert(m_entries.at(0).strXmlUrl, testsupport::dataFileBytes("11"));
    const platform::ScopedService<platform::HttpTransfer> guard(http);
    DownloadJob job;
    QSignalSpy finished(&job, &DownloadJob::finished);
    job.start(m_entries);
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(job.outcome().code, DownloadJob::Ending::Failed);
    QCOMPARE(job.report(), QStringLiteral("・a\r\n"));
    QCOMPARE(http.requested, (QStringList {m_entries.at(0).strXmlUrl, m_entries.at(1).strXmlUrl}));
    QVERIFY(QFile::exists(m_folder->dataPath("a.xml")));
}

QByteArray listOf(const QByteArray &outlines)
{
    return "<?xml version=\"1.0\"?><opml version=\"2.0\"><head/><body>" + outlines + "</body></opml>";
}

// The fetch ends with GetNewDataList's result in the list of the data in
// force, told once the transfer has ended, never inside start().
void tst_DownloadJob::listFetch_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QStringList>("duplicates");

    QTest::newRow("new entries") << listOf(
        "<outline title=\"a\" xmlUrl=\"u/a\"/><outline title=\"present\" xmlUrl=\"u/p\"/>")
                                 << true << 0 << QStringList {"a"} << QStringList {};
    QTest::newRow("one title twice") << listOf(
        "<outline title=\"a\" xmlUrl=\"u/1\"/><outline title=\"a\" xmlUrl=\"u/2\"/>")
                                     << true << 0 << QStringList {"a"} << QStringList {"a"};
    QTest::newRow("nothing new") << listOf({}) << true << 1 << QStringList {} << QStringList {};
    QTest::newRow("no list") << QByteArray("<html/>") << true << -1 << QStringList {} << QStringList {};
    QTest::newRow("transfer failed") << listOf("<outline title=\"a\" xmlUrl=\"u/a\"/>") << false << -1 << QStringList {}
                                     << QStringList {};
}

void tst_DownloadJob::listFetch()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, ok);
    QFETCH(int, status);
    QFETCH(QStringList, titles);
    QFETCH(QStringList, duplicates);
    QVERIFY(m_folder->writeData(QStringLiteral("present.xml"), "present"));
    DataInForce data;
    const modNengajo::ScopedListDocumentUrl url(QStringLiteral("http://list.test/gajo/list.xml"));
    NewDataListJob job(data);
    QSignalSpy steps(&job, &Job::stepStarted);
    QSignalSpy finished(&job, &Job::finished);
    job.start();
    QCOMPARE(m_http.started.size(), 1u);
    QCOMPARE(m_http.started.at(0).url, QStringLiteral("http://list.test/gajo/list.xml"));
    QCOMPARE(steps.size(), 1);
    QCOMPARE(steps.at(0).at(0).toString(), QStringLiteral("新着データリストを読み込んでいます…"));
    m_http.end(0, body, ok);
    QCOMPARE(finished.size(), 0);
    QVERIFY(finished.wait());
    QCOMPARE(job.status(), qint16(status));
    QStringList listed;
    for (const NewDataEntry &entry : data.NewDataList())
        listed.append(entry.strTitle);
    QCOMPARE(listed, titles);
    QCOMPARE(job.duplicates(), duplicates);
    QVERIFY(m_http.started.at(0).gone);
    QVERIFY(!job.wasCancelled());
}

// A cancel ends the fetch before it returns with an empty list and -1; what
// the transfer told before is not heard any more, and the next fetch starts afresh.
void tst_DownloadJob::listFetchCancelled()
{
    DataInForce data;
    NewDataListJob job(data);
    QSignalSpy finished(&job, &Job::finished);
    job.start();
    m_http.end(0, listOf("<outline title=\"a\" xmlUrl=\"u/a\"/>"));
    job.cancel();
    QCOMPARE(finished.size(), 1);
    QVERIFY(job.wasCancelled());
    QCOMPARE(job.status(), qint16(-1));
    QVERIFY(m_http.started.at(0).gone);
    QCoreApplication::processEvents();
    QCOMPARE(finished.size(), 1);
    QVERIFY(data.NewDataList().isEmpty());

    job.start();
    m_http.end(1, listOf("<outline title=\"b\" xmlUrl=\"u/b\"/>"));
    QVERIFY(finished.wait());
    QCOMPARE(job.status(), qint16(0));
    QCOMPARE(data.NewDataList().size(), 1);
}

QTEST_GUILESS_MAIN(tst_DownloadJob)
#include "tst_downloadjob.moc"
