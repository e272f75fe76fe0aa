// The download command's jobs on their own, with the fake transfers, most of
// them ended by hand: the list fetch and the downloads, one file after
// another into the folder new files go to, a cancel that ends a job at once,
// and ends that come too late. How a file is stored is tst_newdatastore's,
// what the windows show of the jobs is tested with the windows.

#include "core/DownloadJob.h"
#include "core/NewData.h"
#include "core/NewDataListJob.h"
#include "fakeservices.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTest>

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
    void twoEntriesWithOneTitle();
    void storesWhereNewFilesGo_data();
    void storesWhereNewFilesGo();
    void listFetch_data();
    void listFetch();
    void listFetchCancelled();

private:
    std::unique_ptr<testsupport::FakeServices> m_services;
    std::unique_ptr<testsupport::ProgramFolderFixture> m_folder;
    platform::FakeHttpTransfer *m_http = nullptr;
    const QList<NewDataEntry> m_entries {{"a", "http://a.test/a.xml"}, {"b", "http://a.test/b.xml"}};
};

void tst_DownloadJob::init()
{
    m_services = std::make_unique<testsupport::FakeServices>();
    m_folder = std::make_unique<testsupport::ProgramFolderFixture>();
    QVERIFY(m_folder->addSchema());
    // Transfers that run until the test ends them.
    m_http = &m_services->http;
    m_http->holdEvery = true;
}

void tst_DownloadJob::cleanup()
{
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
    QCOMPARE(m_http->running.size(), 1u);

    m_http->end(0, testsupport::dataFileBytes("11"));
    QTRY_COMPARE(m_http->running.size(), 2u);
    QVERIFY(m_http->running.at(0).gone);
    QVERIFY(job.isRunning());
    QVERIFY(QFile::exists(m_folder->dataPath("a.xml")));

    m_http->end(1, "<html>portal</html>");
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
    m_http->end(0, testsupport::dataFileBytes("11"));
    job.cancel();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(job.outcome().code, DownloadJob::Ending::Cancelled);
    QVERIFY(m_http->running.at(0).gone);

    // The end told before the cancel waits in the event queue.
    QCoreApplication::processEvents();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(job.outcome().code, DownloadJob::Ending::Cancelled);
    QCOMPARE(m_http->running.size(), 1u);
    QVERIFY(!QFile::exists(m_folder->dataPath("a.xml")));
}

// A second run is not ended by what the first run's transfer told late.
void tst_DownloadJob::lateEndOfAnEarlierRun()
{
    DownloadJob job;
    QSignalSpy finished(&job, &DownloadJob::finished);
    job.start(m_entries);
    m_http->end(0, {}, false);
    job.cancel();
    job.start(m_entries.mid(1));
    QCOMPARE(m_http->running.size(), 2u);
    m_http->end(1, testsupport::dataFileBytes("22"));
    QTRY_COMPARE(finished.size(), 2);
    QCOMPARE(job.outcome().code, DownloadJob::Ending::Completed);
    QCOMPARE(job.report(), QStringLiteral("・b\r\n"));
}

// A transfer refused at once (the fake, a bad address) ends inside start().
// The file stored before the failure stays, and the failed one's earlier file
// is kept as it was.
void tst_DownloadJob::transferEndedBeforeItsStartReturned()
{
    m_http->holdEvery = false;
    m_http->bodies.insert(m_entries.at(0).strXmlUrl, testsupport::dataFileBytes("11"));
    QVERIFY(m_folder->writeData(QStringLiteral("b.xml"), "earlier"));
    DownloadJob job;
    QSignalSpy finished(&job, &DownloadJob::finished);
    job.start(m_entries);
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(job.outcome().code, DownloadJob::Ending::Failed);
    QCOMPARE(job.report(), QStringLiteral("・a\r\n"));
    QCOMPARE(m_http->requested, (QStringList {m_entries.at(0).strXmlUrl, m_entries.at(1).strXmlUrl}));
    QVERIFY(QFile::exists(m_folder->dataPath("a.xml")));
    QCOMPARE(testsupport::fileBytes(m_folder->dataPath("b.xml")), QByteArray("earlier"));
}

// Two entries of one title: both are reported, the later file is the one kept.
void tst_DownloadJob::twoEntriesWithOneTitle()
{
    m_http->holdEvery = false;
    const QByteArray first = testsupport::dataFileBytes("11");
    const QByteArray second = testsupport::dataFileBytes("22");
    m_http->bodies.insert(m_entries.at(0).strXmlUrl, first);
    m_http->bodies.insert(m_entries.at(1).strXmlUrl, second);
    DownloadJob job;
    QVERIFY(testsupport::waitForJob(&job, [&] {
        job.start({{"same", m_entries.at(0).strXmlUrl}, {"same", m_entries.at(1).strXmlUrl}});
    }));
    QCOMPARE(job.outcome().code, DownloadJob::Ending::Completed);
    QCOMPARE(job.report(), QStringLiteral("・same\r\n・same\r\n"));
    QCOMPARE(m_http->requested, (QStringList {m_entries.at(0).strXmlUrl, m_entries.at(1).strXmlUrl}));
    QCOMPARE(testsupport::fileBytes(m_folder->dataPath("same.xml")), second);
}

// Where the files go is UserFiles::newDataFolder's rule: the job stores
// there, makes the user's data folder when that is the one, and never makes
// the program's own.
void tst_DownloadJob::storesWhereNewFilesGo_data()
{
    QTest::addColumn<QString>("folder"); // "program", "read-only", "no data folder"
    QTest::newRow("the program's data folder") << "program";
#ifndef Q_OS_WIN
    // A folder on Windows loses its write permission by its access list alone.
    QTest::newRow("read-only program folder: the user's, made for it") << "read-only";
#endif
    QTest::newRow("no data folder: fails, nothing made") << "no data folder";
}

void tst_DownloadJob::storesWhereNewFilesGo()
{
    QFETCH(QString, folder);
    m_http->holdEvery = false;
    const QByteArray body = testsupport::dataFileBytes("11");
    m_http->bodies.insert(m_entries.at(0).strXmlUrl, body);
    if (folder == u"read-only")
        m_folder->setReadOnly(true);
    if (folder == u"no data folder")
        QVERIFY(QDir(m_folder->dataPath()).removeRecursively());
    const auto before = testsupport::snapshot(m_folder->path());

    DownloadJob job;
    QVERIFY(testsupport::waitForJob(&job, [&] { job.start(m_entries.mid(0, 1)); }));
    const QMap<QString, QByteArray> user = testsupport::snapshot(m_folder->userDataPath());
    if (folder == u"program") {
        QCOMPARE(job.outcome().code, DownloadJob::Ending::Completed);
        QCOMPARE(testsupport::fileBytes(m_folder->dataPath("a.xml")), body);
        QVERIFY(user.isEmpty());
    } else if (folder == u"read-only") {
        QCOMPARE(job.outcome().code, DownloadJob::Ending::Completed);
        QCOMPARE(user, (QMap<QString, QByteArray> {{"a.xml", body}}));
        QCOMPARE(testsupport::snapshot(m_folder->path()), before);
    } else {
        QCOMPARE(job.outcome().code, DownloadJob::Ending::Failed);
        QVERIFY(job.outcome().words.isEmpty());
        QVERIFY(user.isEmpty());
        QVERIFY(testsupport::snapshot(m_folder->path()).isEmpty());
    }
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
    QCOMPARE(m_http->running.size(), 1u);
    QCOMPARE(m_http->running.at(0).url, QStringLiteral("http://list.test/gajo/list.xml"));
    QCOMPARE(steps.size(), 1);
    QCOMPARE(steps.at(0).at(0).toString(), QStringLiteral("新着データリストを読み込んでいます…"));
    m_http->end(0, body, ok);
    QCOMPARE(finished.size(), 0);
    QVERIFY(finished.wait());
    QCOMPARE(job.status(), qint16(status));
    QStringList listed;
    for (const NewDataEntry &entry : data.NewDataList())
        listed.append(entry.strTitle);
    QCOMPARE(listed, titles);
    QCOMPARE(job.duplicates(), duplicates);
    QVERIFY(m_http->running.at(0).gone);
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
    m_http->end(0, listOf("<outline title=\"a\" xmlUrl=\"u/a\"/>"));
    job.cancel();
    QCOMPARE(finished.size(), 1);
    QVERIFY(job.wasCancelled());
    QCOMPARE(job.status(), qint16(-1));
    QVERIFY(m_http->running.at(0).gone);
    QCoreApplication::processEvents();
    QCOMPARE(finished.size(), 1);
    QVERIFY(data.NewDataList().isEmpty());

    job.start();
    m_http->end(1, listOf("<outline title=\"b\" xmlUrl=\"u/b\"/>"));
    QVERIFY(finished.wait());
    QCOMPARE(job.status(), qint16(0));
    QCOMPARE(data.NewDataList().size(), 1);
}

QTEST_GUILESS_MAIN(tst_DownloadJob)
#include "tst_downloadjob.moc"
