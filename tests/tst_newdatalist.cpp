// The list fetch against a real server on 127.0.0.1, the file-name rule for
// titles, and the storing of a downloaded file.

#include "core/NewData.h"
#include "core/NewDataListJob.h"
#include "core/modNengajo.h"
#include "fakeservices.h"
#include "localhttpserver.h"
#include "platform/http.h"
#include "platform/xmldocument.h"
#include "testsupport.h"

#include <QDirIterator>
#include <QSignalSpy>
#include <QTest>

#include <sys/stat.h>

using testsupport::LocalHttpServer;

using testsupport::snapshot;

namespace {

QByteArray opml(const QByteArray &body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<opml version=\"2.0\"><head><title>新着</title></head><body>"
        + body + "</body></opml>";
}

// Runs the list fetch to its end: GetNewDataList's result.
qint16 fetchList(DataInForce &data)
{
    NewDataListJob job(data);
    QSignalSpy finished(&job, &Job::finished);
    job.start();
    if (!finished.wait(30000))
        qFatal("the list fetch did not end");
    return job.status();
}

QByteArray outline(const QByteArray &title, const QByteArray &xmlUrl)
{
    return "<outline text=\"" + title + "\" title=\"" + title + "\" xmlUrl=\"" + xmlUrl + "\"/>";
}

const QString ListPath = QStringLiteral("/gajo/list.xml");

} // namespace

class tst_NewDataList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void readList_data();
    void readList();
    void readListDuplicates_data();
    void readListDuplicates();
    void fetch_data();
    void fetch();
    void fetchFailsOnTransfer_data();
    void fetchFailsOnTransfer();
    void everyFetchStartsAfresh();
    void safeTitle_data();
    void safeTitle();
    void storeWritesAndReplaces();
    void storeRefusesWhatIsNoDataFile_data();
    void storeRefusesWhatIsNoDataFile();
    void storeFailureKeepsEarlierFile_data();
    void storeFailureKeepsEarlierFile();
    void storeReplacesASymlinkNotItsTarget();

private:
    // Runs the list fetch against list.xml holding listBody, with the data
    // folder holding presentFiles; notes whether the program folder changed.
    qint16 runFetch(const QByteArray &listBody, const QStringList &presentFiles);
    bool m_folderChanged = false;

    LocalHttpServer m_server;
    platform::CurlHttpTransfer m_http {testsupport::quickHttpOptions()};
    std::unique_ptr<testsupport::ProgramFolderFixture> m_folder;
    std::unique_ptr<DataInForce> m_data;
    std::unique_ptr<testsupport::FakeServices> m_services;
    std::unique_ptr<platform::ScopedService<platform::HttpTransfer>> m_httpGuard;
};

void tst_NewDataList::initTestCase()
{
    if (!m_server.start())
        QFAIL(qPrintable(m_server.error()));
}

void tst_NewDataList::init()
{
    m_data = std::make_unique<DataInForce>();
    // Guards restore what they replaced: undo them in reverse order first.
    m_folder.reset();
    m_httpGuard.reset();
    m_services.reset();
    m_services = std::make_unique<testsupport::FakeServices>();
    m_httpGuard = std::make_unique<platform::ScopedService<platform::HttpTransfer>>(m_http);
    m_folder = std::make_unique<testsupport::ProgramFolderFixture>();
    m_server.takeRequests();
}

qint16 tst_NewDataList::runFetch(const QByteArray &listBody, const QStringList &presentFiles)
{
    // "user:" puts a file into the user's data folder of a read-only program folder.
    bool readOnly = false;
    for (const QString &name : presentFiles) {
        const bool written = name.startsWith(QStringLiteral("user:"))
            ? m_folder->addUserFixture(QStringLiteral("select_three.xml"), name.mid(5))
            : m_folder->writeData(name, "present");
        if (!written)
            qFatal("cannot write %s", qPrintable(name));
        readOnly = readOnly || name.startsWith(QStringLiteral("user:"));
    }
    m_folder->setReadOnly(readOnly);
    if (!m_server.writeFile(
            QStringLiteral("gajo/list.xml"), QByteArray(listBody).replace("@BASE@", m_server.url({}).toUtf8())))
        qFatal("cannot write the list document");
    const auto before = snapshot(m_folder->path());

    const modNengajo::ScopedListDocumentUrl listUrl(m_server.url(ListPath));
    const qint16 result = fetchList(*m_data);

    m_folderChanged = snapshot(m_folder->path()) != before;
    return result;
}

// The list document's reading, from bytes: every rule of the list is a row here.
void tst_NewDataList::readList_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<int>("result");
    QTest::addColumn<QList<NewDataEntry>>("entries");

    const QString base = QStringLiteral("@BASE@");
    auto entry = [&](const QString &title, const QString &url) { return NewDataEntry {title, url}; };
    const QString reiwa8 = QStringLiteral("年賀状（令和8年度版）");
    const QString reiwa7 = QStringLiteral("年賀状（令和7年度版）");

    // New, present and nested entries
    QTest::newRow("new, present and nested")
        << opml(outline("年賀状（令和8年度版）", "@BASE@/gajo/r8.xml")
               + outline("年賀状（令和7年度版）", "@BASE@/gajo/r7.xml")
               + "<outline title=\"group\" xmlUrl=\"@BASE@/gajo/group.xml\">"
               + outline("年賀状（令和6年度版）", "@BASE@/gajo/r6.xml") + "</outline>")
        << QStringList {reiwa7 + ".xml"} << 0
        << QList<NewDataEntry> {entry(reiwa8, base + "/gajo/r8.xml"), entry("group", base + "/gajo/group.xml")};
    QTest::newRow("list order kept") << opml(outline("b", "u/b") + outline("a", "u/a") + outline("c", "u/c"))
                                     << QStringList {} << 0
                                     << QList<NewDataEntry> {entry("b", "u/b"), entry("a", "u/a"), entry("c", "u/c")};
    QTest::newRow("file name from the title, not the address")
        << opml(outline("kaki", "@BASE@/gajo/natsu.xml")) << QStringList {"natsu.xml"} << 0
        << QList<NewDataEntry> {entry("kaki", base + "/gajo/natsu.xml")};
    QTest::newRow("a present file that is no valid data file counts")
        << opml(outline("broken", "u/b") + outline("fresh", "u/f")) << QStringList {"broken.xml"} << 0
        << QList<NewDataEntry> {entry("fresh", "u/f")};
    QTest::newRow("letter case decides as the file system does")
        << opml(outline("Kaki", "u/k")) << QStringList {"kaki.xml"} << 0 << QList<NewDataEntry> {entry("Kaki", "u/k")};
    QTest::newRow("other children of body and opml ignored")
        << QByteArray("<opml><head><outline title=\"inhead\" xmlUrl=\"u/h\"/></head><body><!-- c -->text"
                      "<item title=\"x\"/><outline title=\"one\" xmlUrl=\"u/1\"/></body>"
                      "<body><outline title=\"second body\" xmlUrl=\"u/2\"/></body></opml>")
        << QStringList {} << 0 << QList<NewDataEntry> {entry("one", "u/1")};
    QTest::newRow("attributes verbatim") << opml("<outline title=\" 空白 &amp; 記号 \" xmlUrl=\" u/&lt;x&gt; \"/>")
                                         << QStringList {} << 0
                                         << QList<NewDataEntry> {entry(" 空白 & 記号 ", " u/<x> ")};
    QTest::newRow("title at the file-name limit") << opml(outline(QByteArray(251, 'n'), "u/n")) << QStringList {} << 0
                                                  << QList<NewDataEntry> {entry(QString(251, u'n'), "u/n")};

    // Nothing new
    QTest::newRow("empty body") << opml({}) << QStringList {} << 1 << QList<NewDataEntry> {};
    QTest::newRow("self-closing body") << QByteArray("<opml><body/></opml>") << QStringList {} << 1
                                       << QList<NewDataEntry> {};
    QTest::newRow("body without outline")
        << opml("<!-- none --><item/>") << QStringList {} << 1 << QList<NewDataEntry> {};
    QTest::newRow("only nested outlines")
        << opml("<x><outline title=\"deep\" xmlUrl=\"u\"/></x>") << QStringList {} << 1 << QList<NewDataEntry> {};
    QTest::newRow("every file present") << opml(
        outline("年賀状（令和8年度版）", "u/8") + outline("年賀状（令和7年度版）", "u/7"))
                                        << QStringList {reiwa8 + ".xml", reiwa7 + ".xml"} << 1
                                        << QList<NewDataEntry> {};
    QTest::newRow("present entry needs no address")
        << opml("<outline title=\"old\"/>") << QStringList {"old.xml"} << 1 << QList<NewDataEntry> {};

    // The document is no list
    QTest::newRow("root is not opml") << QByteArray("<rss><body><outline title=\"a\" xmlUrl=\"u\"/></body></rss>")
                                      << QStringList {} << -1 << QList<NewDataEntry> {};
    QTest::newRow("no body") << QByteArray("<opml><head/></opml>") << QStringList {} << -1 << QList<NewDataEntry> {};
    QTest::newRow("body below head") << QByteArray(
        "<opml><head><body><outline title=\"a\" xmlUrl=\"u\"/></body></head></opml>")
                                     << QStringList {} << -1 << QList<NewDataEntry> {};
    QTest::newRow("names compared exactly")
        << QByteArray("<OPML><body><outline title=\"a\" xmlUrl=\"u\"/></body></OPML>") << QStringList {} << -1
        << QList<NewDataEntry> {};
    QTest::newRow("prefixed names are other names")
        << QByteArray("<x:opml xmlns:x=\"urn:x\"><x:body><x:outline title=\"a\" xmlUrl=\"u\"/></x:body></x:opml>")
        << QStringList {} << -1 << QList<NewDataEntry> {};
    QTest::newRow("prefixed entries are not entries") << opml("<x:outline xmlns:x=\"urn:x\" title=\"a\" xmlUrl=\"u\"/>")
                                                      << QStringList {} << 1 << QList<NewDataEntry> {};
    QTest::newRow("not well-formed") << QByteArray("<opml><body><outline title=\"a\"></body></opml>") << QStringList {}
                                     << -1 << QList<NewDataEntry> {};
    QTest::newRow("empty document") << QByteArray() << QStringList {} << -1 << QList<NewDataEntry> {};
    QTest::newRow("external entity refused")
        << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE opml [<!ENTITY e SYSTEM \"file:///etc/hostname\">]>"
                      "<opml><body><outline title=\"&e;\" xmlUrl=\"u\"/></body></opml>")
        << QStringList {} << -1 << QList<NewDataEntry> {};

    // Missing attributes
    QTest::newRow("missing title after a new entry")
        << opml(outline("a", "u/a") + "<outline xmlUrl=\"u/b\"/>") << QStringList {} << -1 << QList<NewDataEntry> {};
    QTest::newRow("missing title on the first entry")
        << opml("<outline text=\"t\" xmlUrl=\"u\"/>") << QStringList {} << -1 << QList<NewDataEntry> {};
    QTest::newRow("missing address on a new entry")
        << opml("<outline title=\"new\"/>") << QStringList {} << -1 << QList<NewDataEntry> {};
    QTest::newRow("empty title") << opml(outline("", "u")) << QStringList {} << -1 << QList<NewDataEntry> {};

    // Titles that are no plain file name fail like a missing title, even
    // when a file of that name exists outside the data folder.
    QTest::newRow("parent folder") << opml(outline("a", "u/a") + outline("../settings", "u/s")) << QStringList {} << -1
                                   << QList<NewDataEntry> {};
    QTest::newRow("parent folder of a present file")
        << opml(outline("../present", "u/p")) << QStringList {"../present.xml"} << -1 << QList<NewDataEntry> {};
    QTest::newRow("absolute path") << opml(outline("/tmp/harovan-evil", "u")) << QStringList {} << -1
                                   << QList<NewDataEntry> {};
    QTest::newRow("subfolder") << opml(outline("sub/file", "u")) << QStringList {} << -1 << QList<NewDataEntry> {};
    QTest::newRow("backslash") << opml(outline("..\\evil", "u")) << QStringList {} << -1 << QList<NewDataEntry> {};
    QTest::newRow("dot dot") << opml(outline("..", "u")) << QStringList {} << -1 << QList<NewDataEntry> {};
    QTest::newRow("Windows-reserved character")
        << opml(outline("a:b", "u")) << QStringList {} << -1 << QList<NewDataEntry> {};
    QTest::newRow("control character") << opml(outline("a&#9;b", "u")) << QStringList {} << -1
                                       << QList<NewDataEntry> {};
    QTest::newRow("name that shows reversed")
        << opml(outline("a", "u/a") + outline("&#x202E;lmx", "u/r")) << QStringList {} << -1 << QList<NewDataEntry> {};
    QTest::newRow("too long for a file name")
        << opml(outline(QByteArray(252, 'n'), "u")) << QStringList {} << -1 << QList<NewDataEntry> {};
}

// Entries with one title: the first stands, and each title refused among
// the new entries is named once.
void tst_NewDataList::readListDuplicates_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QList<NewDataEntry>>("entries");
    QTest::addColumn<QStringList>("duplicates");

    QTest::newRow("the second of two") << opml(outline("same", "u/1") + outline("same", "u/2")) << QStringList {}
                                       << QList<NewDataEntry> {{"same", "u/1"}} << QStringList {"same"};
    QTest::newRow("three of one title among others")
        << opml(outline("a", "u/a") + outline("same", "u/1") + outline("b", "u/b") + outline("same", "u/2")
               + outline("same", "u/3"))
        << QStringList {} << QList<NewDataEntry> {{"a", "u/a"}, {"same", "u/1"}, {"b", "u/b"}} << QStringList {"same"};
    // Titles that differ in letter case or composition alone name one file.
    const QString composed = QStringLiteral("ガ");
    const QString decomposed = QStringLiteral("カ") + QChar(0x3099);
    QTest::newRow("letter case") << opml(outline("Nenga", "u/1") + outline("NENGA", "u/2")) << QStringList {}
                                 << QList<NewDataEntry> {{"Nenga", "u/1"}} << QStringList {"Nenga"};
    QTest::newRow("composed and decomposed")
        << opml(outline(composed.toUtf8(), "u/1") + outline(decomposed.toUtf8(), "u/2")) << QStringList {}
        << QList<NewDataEntry> {{composed, "u/1"}} << QStringList {composed};
    // Nearly a mebibyte: every title once, then every one again. Enough names
    // tell that the list is wrong, and the box of them stays on the screen.
    QByteArray firsts;
    QByteArray seconds;
    QList<NewDataEntry> entries;
    QStringList named;
    for (int i = 0; i < 16000; ++i) {
        const QByteArray title = "t" + QByteArray::number(i);
        firsts += "<outline title=\"" + title + "\" xmlUrl=\"u\"/>";
        seconds += "<outline title=\"" + title + "\"/>";
        entries.append({QString::fromLatin1(title), QStringLiteral("u")});
        if (i < modNengajo::MaxDuplicatesNamed)
            named.append(QString::fromLatin1(title));
    }
    QTest::newRow("16000 titles twice") << opml(firsts + seconds) << QStringList {} << entries << named;
    // The first one's file is there: none of them is new, nothing to say.
    QTest::newRow("present") << opml(outline("same", "u/1") + outline("same", "u/2") + outline("new", "u/n"))
                             << QStringList {"same.xml"} << QList<NewDataEntry> {{"new", "u/n"}} << QStringList {};
}

void tst_NewDataList::readListDuplicates()
{
    QFETCH(QByteArray, list);
    QFETCH(QStringList, present);
    const auto isPresent = [&present](const QString &fileName) { return present.contains(fileName); };
    platform::xml::Document document;
    QVERIFY(document.loadXml(list));
    QList<NewDataEntry> read;
    QStringList duplicates;
    QCOMPARE(modNengajo::ReadListDocument(document, isPresent, read, &duplicates), qint16(0));
    QTEST(read, "entries");
    QTEST(duplicates, "duplicates");
}

void tst_NewDataList::readList()
{
    QFETCH(QByteArray, list);
    QFETCH(QStringList, present);
    QFETCH(int, result);
    QFETCH(QList<NewDataEntry>, entries);

    const auto isPresent = [&present](const QString &fileName) { return present.contains(fileName); };
    platform::xml::Document document;
    QList<NewDataEntry> read;
    const qint16 status = document.loadXml(list) ? modNengajo::ReadListDocument(document, isPresent, read) : qint16(-1);
    QCOMPARE(status, qint16(result));
    if (status != -1)
        QCOMPARE(read, entries);
}

// The whole fetch from the server: the list read, nothing written.
void tst_NewDataList::fetch_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<int>("result");
    QTest::addColumn<QList<NewDataEntry>>("entries");

    QTest::newRow("new entries") << opml(outline("new", "@BASE@/gajo/new.xml") + outline("old", "@BASE@/gajo/old.xml"))
                                 << QStringList {"old.xml"} << 0
                                 << QList<NewDataEntry> {{"new", "@BASE@/gajo/new.xml"}};
    QTest::newRow("read-only program folder: the files of both data folders count")
        << opml(outline("a", "u/a") + outline("b", "u/b") + outline("c", "u/c")) << QStringList {"a.xml", "user:b.xml"}
        << 0 << QList<NewDataEntry> {{"c", "u/c"}};
    QTest::newRow("present in another letter case")
        << opml(outline("OLD", "u/old") + outline("new", "u/new")) << QStringList {"old.xml"} << 0
        << QList<NewDataEntry> {{"new", "u/new"}};
    QTest::newRow("nothing new") << opml(outline("old", "u/old")) << QStringList {"old.xml"} << 1
                                 << QList<NewDataEntry> {};
    // Entries read before the fault are of no use to anyone.
    QTest::newRow("no list") << opml(outline("new", "u/new") + "<outline xmlUrl=\"u/b\"/>") << QStringList {} << -1
                             << QList<NewDataEntry> {};
}

void tst_NewDataList::fetch()
{
    QFETCH(QByteArray, list);
    QFETCH(QStringList, present);
    QFETCH(int, result);
    QFETCH(QList<NewDataEntry>, entries);

    QSignalSpy fetched(m_data.get(), &DataInForce::newDataListChanged);
    QCOMPARE(runFetch(list, present), qint16(result));
    QCOMPARE(fetched.size(), 1);
    for (NewDataEntry &entry : entries)
        entry.strXmlUrl.replace(QStringLiteral("@BASE@"), m_server.url({}));
    QCOMPARE(m_data->NewDataList(), entries);
    QVERIFY(!m_folderChanged);
    QVERIFY(m_services->messageBox.shown.isEmpty());
    QCOMPARE(m_server.takeRequests(), QStringList {ListPath});
}

// The list document and its address
void tst_NewDataList::fetchFailsOnTransfer_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QStringList>("requests");

    auto onServer = [&](const QString &path) { return m_server.url(path); };
    QTest::newRow("404") << onServer("/fault/status/404") << QStringList {"/fault/status/404"};
    QTest::newRow("500") << onServer("/fault/status/500") << QStringList {"/fault/status/500"};
    QTest::newRow("no such list") << onServer("/gajo/none.xml") << QStringList {"/gajo/none.xml"};
    QTest::newRow("refused connection")
        << QStringLiteral("http://127.0.0.1:%1/gajo/list.xml").arg(LocalHttpServer::closedPort()) << QStringList {};
    QTest::newRow("stall") << onServer("/fault/stall?seconds=6") << QStringList {"/fault/stall?seconds=6"};
    QTest::newRow("truncated") << onServer("/fault/truncated?declared=5000&sent=100")
                               << QStringList {"/fault/truncated?declared=5000&sent=100"};
    QTest::newRow("oversize with Content-Length")
        << onServer("/fault/bytes?n=100001") << QStringList {"/fault/bytes?n=100001"};
    QTest::newRow("oversize chunked") << onServer("/fault/chunked?n=100001") << QStringList {"/fault/chunked?n=100001"};
    QTest::newRow("not XML") << onServer("/fault/notxml") << QStringList {"/fault/notxml"};
    QTest::newRow("redirect to ftp") << onServer("/fault/redirect?to=ftp%3A%2F%2F127.0.0.1%2Fgajo%2Flist.xml")
                                     << QStringList {"/fault/redirect?to=ftp%3A%2F%2F127.0.0.1%2Fgajo%2Flist.xml"};
    QTest::newRow("not http") << QStringLiteral("file://") + m_server.root() + QStringLiteral("gajo/list.xml")
                              << QStringList {};
}

void tst_NewDataList::fetchFailsOnTransfer()
{
    QFETCH(QString, address);
    QFETCH(QStringList, requests);

    // A list that would offer an entry if it were read.
    QVERIFY(m_server.writeFile(QStringLiteral("gajo/list.xml"), opml(outline("new", "u/new"))));
    const auto before = snapshot(m_folder->path());
    const modNengajo::ScopedListDocumentUrl listUrl(address);
    QCOMPARE(fetchList(*m_data), qint16(-1));
    QVERIFY(m_data->NewDataList().isEmpty());
    QCOMPARE(snapshot(m_folder->path()), before);
    QCOMPARE(m_server.takeRequests(), requests);
}

void tst_NewDataList::everyFetchStartsAfresh()
{
    QCOMPARE(runFetch(opml(outline("a", "u/a") + outline("b", "u/b")), {}), qint16(0));
    QCOMPARE(m_data->NewDataList().size(), 2);

    // A redirect is followed to the list.
    QVERIFY(m_server.writeFile(QStringLiteral("gajo/moved.xml"), opml(outline("c", "u/c"))));
    {
        const modNengajo::ScopedListDocumentUrl moved(m_server.url("/fault/redirect?to=/gajo/moved.xml"));
        QCOMPARE(fetchList(*m_data), qint16(0));
    }
    QCOMPARE(m_data->NewDataList(), (QList<NewDataEntry> {{"c", "u/c"}}));

    // A list failing after a new entry leaves nothing usable behind...
    QCOMPARE(runFetch(opml(outline("d", "u/d") + "<outline title=\"e\"/>"), {}), qint16(-1));
    // ...and the next fetch begins with an empty list.
    QCOMPARE(runFetch(opml(outline("d", "u/d")), {"d.xml"}), qint16(1));
    QVERIFY(m_data->NewDataList().isEmpty());

    // Deleting a downloaded file makes its entry new again.
    QVERIFY(QFile::remove(m_folder->dataPath("d.xml")));
    QCOMPARE(runFetch(opml(outline("d", "u/d")), {}), qint16(0));
    QCOMPARE(m_data->NewDataList(), (QList<NewDataEntry> {{"d", "u/d"}}));
}

// File names from titles
void tst_NewDataList::safeTitle_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("safe");

    QTest::newRow("bundled name") << QStringLiteral("年賀状（令和8年度版）") << true;
    QTest::newRow("spaces and dots inside") << QStringLiteral(" a.b c ") << true;
    QTest::newRow("251 bytes") << QString(251, u'x') << true;
    QTest::newRow("252 bytes") << QString(252, u'x') << false;
    QTest::newRow("83 three-byte characters") << QString(83, QChar(0x5E74)) << true;
    QTest::newRow("84 three-byte characters") << QString(84, QChar(0x5E74)) << false;

    QTest::newRow("empty") << QString() << false;
    QTest::newRow("dot") << QStringLiteral(".") << false;
    QTest::newRow("dot dot") << QStringLiteral("..") << false;
    QTest::newRow("three dots") << QStringLiteral("...") << false;
    QTest::newRow("leading dot: a hidden file") << QStringLiteral(".年賀状") << false;
    QTest::newRow("parent folder") << QStringLiteral("../settings") << false;
    QTest::newRow("absolute") << QStringLiteral("/tmp/x") << false;
    QTest::newRow("backslash") << QStringLiteral("..\\x") << false;
    const QString forbidden = QStringLiteral(":*?\"<>|");
    for (const QChar c : forbidden)
        QTest::addRow("forbidden %c", c.toLatin1()) << QStringLiteral("a") + c + QStringLiteral("b") << false;
    QTest::newRow("NUL") << QStringLiteral("a") + QChar(0) + QStringLiteral("b") << false;
    QTest::newRow("tab") << QStringLiteral("a\tb") << false;
    QTest::newRow("line feed") << QStringLiteral("a\nb") << false;
    QTest::newRow("DEL") << QStringLiteral("a\x7f") << false;
    QTest::newRow("C1 control") << QStringLiteral("a") + QChar(0x85) << false;
    QTest::newRow("lone surrogate") << QStringLiteral("a") + QChar(0xD800) << false;
    QTest::newRow("line separator") << QStringLiteral("年賀状") + QChar(0x2028) + QStringLiteral("版") << false;
    QTest::newRow("paragraph separator") << QStringLiteral("年賀状") + QChar(0x2029) << false;
    QTest::newRow("right-to-left override")
        << QStringLiteral("年賀状") + QChar(0x202E) + QStringLiteral("lmx.exe") << false;
    QTest::newRow("zero-width space") << QStringLiteral("a") + QChar(0x200B) + QStringLiteral("b") << false;

    // Names Windows takes for devices, in any case, whatever follows the first dot.
    QTest::newRow("CON") << QStringLiteral("CON") << false;
    QTest::newRow("nul") << QStringLiteral("nul") << false;
    QTest::newRow("COM1") << QStringLiteral("COM1") << false;
    QTest::newRow("CONIN$") << QStringLiteral("CONIN$") << false;
    QTest::newRow("AUX with an extension") << QStringLiteral("AUX.backup") << false;
    QTest::newRow("PRN and a blank before the dot") << QStringLiteral("PRN .a") << false;
    QTest::newRow("a device's name inside a longer one") << QStringLiteral("CONSOLE") << true;
    QTest::newRow("COM without a digit") << QStringLiteral("COM") << true;
    QTest::newRow("a device's name after the first dot") << QStringLiteral("a.CON") << true;
}

void tst_NewDataList::safeTitle()
{
    QFETCH(QString, title);
    QFETCH(bool, safe);
    QCOMPARE(modNengajo::IsSafeDataTitle(title), safe);
}

// Storing a data file
void tst_NewDataList::storeWritesAndReplaces()
{
    QVERIFY(m_folder->addSchema());
    const QString data = m_folder->dataPath();
    const QByteArray body
        = testsupport::fileBytes(testsupport::bundledPath(QStringLiteral("年賀状（令和8年度版）.xml")));
    const QByteArray other = testsupport::dataFileBytes("12");

    QVERIFY(modNengajo::StoreDataFile(data, QStringLiteral("年賀状（令和8年度版）"), body).ok());
    QVERIFY(modNengajo::StoreDataFile(data, QString(251, u'n'), other).ok());
    QVERIFY(m_folder->writeData(QStringLiteral("old.xml"), "earlier"));
    QVERIFY(modNengajo::StoreDataFile(data, QStringLiteral("old"), other).ok());

    // A title that differs in letter case or composition alone replaces its
    // file; a new one is written composed.
    QVERIFY(m_folder->writeData(QStringLiteral("Nenga.xml"), "earlier"));
    QVERIFY(modNengajo::StoreDataFile(data, QStringLiteral("NENGA"), other).ok());
    QVERIFY(modNengajo::StoreDataFile(data, QStringLiteral("カ") + QChar(0x3099), other).ok());
    QMap<QString, QByteArray> expected {{"data", "<dir>"},
        {"data/" + modNengajo::SchemaFileName,
            testsupport::fileBytes(testsupport::bundledPath(modNengajo::SchemaFileName))},
        {"data/年賀状（令和8年度版）.xml", body}, {"data/" + QString(251, u'n') + ".xml", other},
        {"data/old.xml", other}, {"data/Nenga.xml", other}, {QStringLiteral("data/ガ.xml"), other}};
    QCOMPARE(snapshot(m_folder->path()), expected);

    // An ordinary file, readable by others as a file the user saved would be.
    struct stat status = {};
    QCOMPARE(::stat(QFile::encodeName(m_folder->dataPath("年賀状（令和8年度版）.xml")).constData(), &status), 0);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    QCOMPARE(status.st_mode & 0777, 0666 & ~mask);
}

// What is no data file the program can load is never written, and an earlier
// file of that name stays.
void tst_NewDataList::storeRefusesWhatIsNoDataFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    using testsupport::fixtureBytes;
    // What a network gives in place of a data file is a row of the download
    // dialog's test against the local server; these are the other rules.
    QTest::newRow("billion laughs") << fixtureBytes(QStringLiteral("load_billion_laughs.xml"));
    QTest::newRow("number the schema refuses") << fixtureBytes(QStringLiteral("load_bad_number.xml"));
    // Valid for the schema, but the loader stops at it.
    QTest::newRow("comment among the classes") << fixtureBytes(QStringLiteral("load_comment_in_root.xml"));
}

void tst_NewDataList::storeRefusesWhatIsNoDataFile()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(m_folder->addSchema());
    QVERIFY(m_folder->writeData(QStringLiteral("old.xml"), "earlier"));
    const auto before = snapshot(m_folder->path());

    const Outcome<modNengajo::DataStored> result = modNengajo::StoreDataFile(m_folder->dataPath(), "old", bytes);
    QCOMPARE(result.code, modNengajo::DataStored::NotADataFile);
    QVERIFY(!result.words.isEmpty());
    QCOMPARE(snapshot(m_folder->path()), before);
}

void tst_NewDataList::storeFailureKeepsEarlierFile_data()
{
    QTest::addColumn<QString>("title");
    QTest::newRow("unsafe title") << QStringLiteral("../old");
    QTest::newRow("too long") << QString(252, u'n');
    QTest::newRow("a folder of that name") << QStringLiteral("folder");
}

void tst_NewDataList::storeFailureKeepsEarlierFile()
{
    QFETCH(QString, title);
    QVERIFY(m_folder->writeData(QStringLiteral("old.xml"), "earlier"));
    QVERIFY(QDir(m_folder->dataPath()).mkdir(QStringLiteral("folder.xml")));
    QVERIFY(m_folder->writeData(QStringLiteral("folder.xml/inside"), "kept"));
    const auto before = snapshot(m_folder->path());

    const Outcome<modNengajo::DataStored> result
        = modNengajo::StoreDataFile(m_folder->dataPath(), title, testsupport::dataFileBytes("12"));
    QCOMPARE(result.code, modNengajo::DataStored::NotWritten);
    QCOMPARE(snapshot(m_folder->path()), before);
}

void tst_NewDataList::storeReplacesASymlinkNotItsTarget()
{
    QTemporaryDir outside;
    const QString target = outside.path() + QStringLiteral("/victim.xml");
    QVERIFY(QFile::link(target, m_folder->dataPath(QStringLiteral("link.xml"))));
    const QByteArray body = testsupport::dataFileBytes("12");

    QVERIFY(modNengajo::StoreDataFile(m_folder->dataPath(), QStringLiteral("link"), body).ok());
    QVERIFY(!QFileInfo(m_folder->dataPath(QStringLiteral("link.xml"))).isSymLink());
    QVERIFY(!QFile::exists(target));
    QCOMPARE(snapshot(m_folder->path()), (QMap<QString, QByteArray> {{"data", "<dir>"}, {"data/link.xml", body}}));

    // A missing data folder is never created.
    QVERIFY(QDir(m_folder->dataPath()).removeRecursively());
    QVERIFY(!modNengajo::StoreDataFile(m_folder->dataPath(), QStringLiteral("x"), body).ok());
    QVERIFY(snapshot(m_folder->path()).isEmpty());
}

QTEST_MAIN(tst_NewDataList)
#include "tst_newdatalist.moc"
