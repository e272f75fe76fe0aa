// The list of new data files: the list document read from bytes, and the
// fetch with the fake transfer into the data in force, against the files the
// data folders hold. The transfer itself is tst_http's, the job's timing
// tst_downloadjob's.

#include "core/NewData.h"
#include "core/NewDataListJob.h"
#include "core/modNengajo.h"
#include "fakeservices.h"
#include "platform/xmldocument.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTest>

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
    if (!testsupport::waitForJob(&job, [&job] { job.start(); }))
        qFatal("the list fetch did not end");
    return job.status();
}

QByteArray outline(const QByteArray &title, const QByteArray &xmlUrl)
{
    return "<outline text=\"" + title + "\" title=\"" + title + "\" xmlUrl=\"" + xmlUrl + "\"/>";
}

const QString ListUrl = QStringLiteral("http://list.test/gajo/list.xml");

} // namespace

class tst_NewDataList : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void readList_data();
    void readList();
    void readListDuplicates_data();
    void readListDuplicates();
    void fetch_data();
    void fetch();
    void everyFetchStartsAfresh();

private:
    // Runs the list fetch with the list document at ListUrl holding listBody
    // (none: the transfer fails), with the data folder holding presentFiles;
    // notes whether the program folder changed.
    qint16 runFetch(const QByteArray &listBody, const QStringList &presentFiles);
    bool m_folderChanged = false;

    std::unique_ptr<testsupport::ProgramFolderFixture> m_folder;
    std::unique_ptr<DataInForce> m_data;
    std::unique_ptr<testsupport::FakeServices> m_services;
};

void tst_NewDataList::init()
{
    m_data = std::make_unique<DataInForce>();
    // Guards restore what they replaced: undo them in reverse order first.
    m_folder.reset();
    m_services.reset();
    m_services = std::make_unique<testsupport::FakeServices>();
    m_folder = std::make_unique<testsupport::ProgramFolderFixture>();
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
    m_services->http.bodies.remove(ListUrl);
    if (!listBody.isNull())
        m_services->http.bodies.insert(ListUrl, listBody);
    const auto before = snapshot(m_folder->path());

    const modNengajo::ScopedListDocumentUrl listUrl(ListUrl);
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
    QTest::newRow("plain text") << QByteArray("this is not xml at all\n") << QStringList {} << -1
                                << QList<NewDataEntry> {};
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

// The whole fetch: the list read against the data folders, nothing written.
void tst_NewDataList::fetch_data()
{
    QTest::addColumn<QByteArray>("list"); // none: the transfer fails
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<int>("result");
    QTest::addColumn<QList<NewDataEntry>>("entries");

    QTest::newRow("new entries") << opml(
        outline("new", "http://files.test/gajo/new.xml") + outline("old", "http://files.test/gajo/old.xml"))
                                 << QStringList {"old.xml"} << 0
                                 << QList<NewDataEntry> {{"new", "http://files.test/gajo/new.xml"}};
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
    // Every way a transfer fails is a row of tst_http.
    QTest::newRow("the transfer fails") << QByteArray() << QStringList {} << -1 << QList<NewDataEntry> {};
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
    QCOMPARE(m_data->NewDataList(), entries);
    QVERIFY(!m_folderChanged);
    QVERIFY(m_services->messageBox.shown.isEmpty());
    QCOMPARE(m_services->http.requested, QStringList {ListUrl});
}

void tst_NewDataList::everyFetchStartsAfresh()
{
    QCOMPARE(runFetch(opml(outline("a", "u/a") + outline("b", "u/b")), {}), qint16(0));
    QCOMPARE(m_data->NewDataList().size(), 2);

    // Another list replaces the one before.
    QCOMPARE(runFetch(opml(outline("c", "u/c")), {}), qint16(0));
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

QTEST_MAIN(tst_NewDataList)
#include "tst_newdatalist.moc"
