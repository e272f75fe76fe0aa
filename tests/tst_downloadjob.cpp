// The download job on its own, with transfers the test ends by hand: one file
// after another, a cancel that ends it at once, and ends that come too late.
// What the dialog shows of it, against a real server, is tested with the dialog.

#include "core/DownloadJob.h"
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
    QCOMPARE(job.outcome(), DownloadJob::Outcome::Completed);
    QCOMPARE(job.report(), QStringLiteral("・a\r\n"));
    QCOMPARE(job.refused(), QStringLiteral("・b\r\n"));
    QCOMPARE(steps.size(), 2);
    QCOMPARE(steps.at(1), (QVariantList {2, 2, QStringLiteral("b")}));
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
    QCOMPARE(job.outcome(), DownloadJob::Outcome::Cancelled);
    QVERIFY(m_http.started.at(0).gone);

    // The end told before the cancel waits in the event queue.
    QCoreApplication::processEvents();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(job.outcome(), DownloadJob::Outcome::Cancelled);
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
    QCOMPARE(job.outcome(), DownloadJob::Outcome::Completed);
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
    QCOMPARE(job.outcome(), DownloadJob::Outcome::Failed);
    QCOMPARE(job.report(), QStringLiteral("・a\r\n"));
    QCOMPARE(http.requested, (QStringList {m_entries.at(0).strXmlUrl, m_entries.at(1).strXmlUrl}));
    QVERIFY(QFile::exists(m_folder->dataPath("a.xml")));
}

QTEST_GUILESS_MAIN(tst_DownloadJob)
#include "tst_downloadjob.moc"
