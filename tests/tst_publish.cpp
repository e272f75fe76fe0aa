// The publishing side: the site built from a data folder, the command-line
// tool, and the whole road of a download from a site served on 127.0.0.1.

#include "core/NewData.h"
#include "core/NewDataListJob.h"
#include "core/modNengajo.h"
#include "fakeservices.h"
#include "localhttpserver.h"
#include "platform/http.h"
#include "platform/xmldocument.h"
#include "publish/SitePublisher.h"
#include "testsupport.h"
#include "ui/frmDownFileList.h"
#include "ui/frmFileSelect.h"

#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QUrl>

namespace {

const QString Reiwa8 = QStringLiteral("年賀状（令和8年度版）");

const QByteArray BadNumber = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><tousen xmlns=\"urn:tousen\" type=\"年賀状\" "
                             "year=\"令和8\"><toukyu name=\"1等\"><number>1234567</number></toukyu></tousen>";
const QByteArray Malformed = "<?xml version=\"1.0\"?><tousen xmlns=\"urn:tousen\"><toukyu></tousen>";

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// (title, xmlUrl) of every outline of a list document.
QList<NewDataEntry> outlines(const QString &listPath)
{
    QList<NewDataEntry> entries;
    platform::xml::Document document;
    if (!document.loadXml(readAll(listPath)))
        return entries;
    const auto opml = document.documentElement();
    for (const auto &child : opml.childNodes()) {
        if (child.name() != u"body")
            continue;
        for (const auto &outline : child.childNodes())
            entries.append({outline.attribute("title").value_or("?"), outline.attribute("xmlUrl").value_or("?")});
    }
    return entries;
}

QString fileUrl(const QString &base, const QString &name)
{
    return base + QStringLiteral("/gajo/") + QString::fromLatin1(QUrl::toPercentEncoding(name));
}

} // namespace

class tst_Publish : public QObject
{
    Q_OBJECT

private slots:
    void publishesValidFilesOnly();
    void refusesToPublishAtAll_data();
    void refusesToPublishAtAll();
    void commandLine();
    void downloadFromPublishedSite();

private:
    // A data folder with the schema, two bundled files and four that must not be published.
    void fillDataFolder(const QString &folder);
};

void tst_Publish::fillDataFolder(const QString &folder)
{
    for (const QString &name :
        {modNengajo::SchemaFileName, Reiwa8 + ".xml", QStringLiteral("年賀状（平成26年度版）.xml")})
        QVERIFY(QFile::copy(testsupport::bundledPath(name), folder + name));
    QVERIFY(write(folder + "bad number.xml", BadNumber));
    QVERIFY(write(folder + "malformed.xml", Malformed));
    QVERIFY(QFile::copy(testsupport::bundledPath(Reiwa8 + ".xml"), folder + "a:b.xml"));
    // Valid, but the list document would take its place on the site.
    QVERIFY(QFile::copy(testsupport::bundledPath(Reiwa8 + ".xml"), folder + "list.xml"));
    QVERIFY(QFile::copy(testsupport::bundledPath(Reiwa8 + ".xml"), folder + "upper.XML"));
}

void tst_Publish::publishesValidFilesOnly()
{
    QTemporaryDir data;
    QTemporaryDir site;
    fillDataFolder(data.path() + "/");

    const publish::Outcome outcome
        = publish::publishSite(data.path(), site.path() + "/new", QStringLiteral("http://example.test:8080/"), "T");
    QVERIFY2(outcome.ok, qPrintable(outcome.error));
    QCOMPARE(outcome.published, (QStringList {Reiwa8 + ".xml", QStringLiteral("年賀状（平成26年度版）.xml")}));
    QStringList refused;
    for (const publish::Refusal &refusal : outcome.refused) {
        refused.append(refusal.fileName);
        QVERIFY2(!refusal.reason.isEmpty(), qPrintable(refusal.fileName));
    }
    QCOMPARE(refused, (QStringList {"a:b.xml", "bad number.xml", "list.xml", "malformed.xml"}));
    // The schema's reason, with its position, for the file that breaks it.
    QVERIFY2(outcome.refused.at(1).reason.startsWith(u"[line:"), qPrintable(outcome.refused.at(1).reason));

    const QString gajo = site.path() + "/new/gajo/";
    QCOMPARE(QDir(gajo).entryList(QDir::Files, QDir::Name),
        (QStringList {"list.xml", Reiwa8 + ".xml", QStringLiteral("年賀状（平成26年度版）.xml")}));
    for (const QString &name : outcome.published)
        QCOMPARE(readAll(gajo + name), readAll(data.path() + "/" + name));
    const QString base = QStringLiteral("http://example.test:8080");
    QCOMPARE(outlines(gajo + "list.xml"),
        (QList<NewDataEntry> {{Reiwa8, fileUrl(base, Reiwa8 + ".xml")},
            {"年賀状（平成26年度版）", fileUrl(base, QStringLiteral("年賀状（平成26年度版）.xml"))}}));
}

void tst_Publish::refusesToPublishAtAll_data()
{
    QTest::addColumn<bool>("withSchema");
    QTest::addColumn<QString>("baseUrl");
    QTest::newRow("no schema") << false << "http://example.test";
    QTest::newRow("ftp site") << true << "ftp://example.test";
    QTest::newRow("no host") << true << "http://";
    QTest::newRow("query") << true << "http://example.test/?x=1";
}

void tst_Publish::refusesToPublishAtAll()
{
    QFETCH(bool, withSchema);
    QFETCH(QString, baseUrl);
    QTemporaryDir data;
    QTemporaryDir site;
    fillDataFolder(data.path() + "/");
    if (!withSchema)
        QVERIFY(QFile::remove(data.path() + "/" + modNengajo::SchemaFileName));

    const publish::Outcome outcome = publish::publishSite(data.path(), site.path() + "/new", baseUrl, "T");
    QVERIFY(!outcome.ok);
    QVERIFY(!outcome.error.isEmpty());
    QVERIFY(outcome.published.isEmpty());
    QVERIFY(!QFileInfo::exists(site.path() + "/new/gajo/list.xml"));
}

void tst_Publish::commandLine()
{
    const QString tool = QStringLiteral(PROGRAM_DIR "/harovan-publish");
    QVERIFY2(QFileInfo(tool).isExecutable(), qPrintable(tool));
    QTemporaryDir data;
    QTemporaryDir site;
    fillDataFolder(data.path() + "/");

    QProcess process;
    process.start(tool, {"--data", data.path(), "--base-url", "http://127.0.0.1:8080", site.path()});
    QVERIFY(process.waitForFinished(30000));
    // Some files refused: published the rest, said why, and says so in its status.
    QCOMPARE(process.exitCode(), 1);
    const QString errors = QString::fromUtf8(process.readAllStandardError());
    QVERIFY2(errors.contains(u"refused: bad number.xml: [line:"), qPrintable(errors));
    QVERIFY(errors.contains(u"refused: malformed.xml: "));
    QVERIFY(errors.contains(u"refused: a:b.xml: "));
    QVERIFY(errors.contains(u"refused: list.xml: "));
    QVERIFY(
        QString::fromUtf8(process.readAllStandardOutput()).contains(QStringLiteral("published: ") + Reiwa8 + ".xml"));
    QVERIFY(QFileInfo::exists(site.path() + "/gajo/list.xml"));

    for (const char *name : {"bad number.xml", "malformed.xml", "a:b.xml", "list.xml"})
        QVERIFY(QFile::remove(data.path() + "/" + QString::fromUtf8(name)));
    process.start(tool, {"--data", data.path(), site.path()});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 0);
    // The default address is the download server the program was built for.
    QCOMPARE(outlines(site.path() + "/gajo/list.xml").constFirst().strXmlUrl,
        fileUrl(QStringLiteral("http://" HAROVAN_DOWNLOAD_HOST), Reiwa8 + ".xml"));

    process.start(tool, {});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 2);
}

// A user removes a bundled file, fetches the list of the published site,
// sees that file offered, downloads it, and the card-type dialog can use it.
void tst_Publish::downloadFromPublishedSite()
{
    testsupport::LocalHttpServer server;
    if (!server.start())
        QFAIL(qPrintable(server.error()));
    const QString base = server.url({});
    const publish::Outcome outcome = publish::publishSite(PROGRAM_DATA_DIR, server.root(), base, "T");
    QVERIFY2(outcome.ok && outcome.refused.isEmpty(), qPrintable(outcome.error));

    DataInForce data;
    testsupport::FakeServices services;
    platform::CurlHttpTransfer http;
    const platform::ScopedService<platform::HttpTransfer> httpGuard(http);
    testsupport::ProgramFolderFixture folder;
    QVERIFY(folder.addSchema());
    for (const QString &name : outcome.published) {
        if (name != Reiwa8 + ".xml")
            QVERIFY(folder.addData(testsupport::bundledPath(name)));
    }
    const modNengajo::ScopedListDocumentUrl listUrl(server.url(QStringLiteral("/gajo/list.xml")));

    NewDataListJob fetch(data);
    QVERIFY(testsupport::waitForJob(&fetch, [&] { fetch.start(); }));
    QCOMPARE(fetch.status(), qint16(0));
    QCOMPARE(data.NewDataList(), (QList<NewDataEntry> {{Reiwa8, fileUrl(base, Reiwa8 + ".xml")}}));

    frmDownFileList dialog(data.NewDataList());
    dialog.show();
    auto *list = dialog.findChild<QListWidget *>("lstXmlFile");
    QVERIFY(list);
    list->item(0)->setSelected(true);
    QVERIFY(testsupport::waitForJob(
        dialog.findChild<DownloadJob *>(), [&] { dialog.findChild<QPushButton *>("cmdDownload")->click(); }));
    QCOMPARE(dialog.downloadReport(), "・" + Reiwa8 + "\r\n");
    QVERIFY(services.messageBox.shown.isEmpty());

    const QString stored = folder.dataPath(Reiwa8 + ".xml");
    QCOMPARE(readAll(stored), readAll(testsupport::bundledPath(Reiwa8 + ".xml")));
    QCOMPARE(modNengajo::ValidateDataFile(stored, folder.dataPath(modNengajo::SchemaFileName)), QString());
    // The card-type dialog offers it.
    {
        frmFileSelect select(data);
        auto *types = select.findChild<QListWidget *>("lstXmlFile");
        QVERIFY(types);
        QVERIFY(!types->findItems(Reiwa8, Qt::MatchExactly).isEmpty());
    }
    QCOMPARE(data.LoadDataFile(Reiwa8 + ".xml").status, qint16(0));

    // Nothing new any more.
    QVERIFY(testsupport::waitForJob(&fetch, [&] { fetch.start(); }));
    QCOMPARE(fetch.status(), qint16(1));
}

QTEST_MAIN(tst_Publish)
#include "tst_publish.moc"
