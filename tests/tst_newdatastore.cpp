// The store of new data files (core/NewData.h, NewDataStore.cpp): the
// file-name rule for titles, and a downloaded or typed-in file written,
// replacing, refused and failing, byte for byte in the data folder.

#include "core/FileErrorText.h"
#include "core/NewData.h"
#include "core/modNengajo.h"
#include "fakeservices.h"
#include "testsupport.h"

#include <QDir>
#include <QTest>

#include <cerrno>
#include <sys/stat.h>

using testsupport::snapshot;

class tst_NewDataStore : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void safeTitle_data();
    void safeTitle();
    void storeWritesAndReplaces();
    void storeRefusesWhatIsNoDataFile_data();
    void storeRefusesWhatIsNoDataFile();
    void storeFailureKeepsEarlierFile_data();
    void storeFailureKeepsEarlierFile();
    void storeReplacesASymlinkNotItsTarget();

private:
    std::unique_ptr<testsupport::ProgramFolderFixture> m_folder;
    std::unique_ptr<testsupport::FakeServices> m_services;
};

void tst_NewDataStore::init()
{
    // Guards restore what they replaced: undo them in reverse order first.
    m_folder.reset();
    m_services.reset();
    m_services = std::make_unique<testsupport::FakeServices>();
    m_folder = std::make_unique<testsupport::ProgramFolderFixture>();
}

// File names from titles
void tst_NewDataStore::safeTitle_data()
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

void tst_NewDataStore::safeTitle()
{
    QFETCH(QString, title);
    QFETCH(bool, safe);
    QCOMPARE(modNengajo::IsSafeDataTitle(title), safe);
}

// Storing a data file
void tst_NewDataStore::storeWritesAndReplaces()
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
void tst_NewDataStore::storeRefusesWhatIsNoDataFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    using testsupport::fixtureBytes;
    // What a network gives in place of a data file.
    QTest::newRow("Wi-Fi portal page") << testsupport::portalPageBytes();
    QTest::newRow("empty body") << QByteArray();
    QTest::newRow("not XML") << QByteArray("this is not xml at all\n");
    QTest::newRow("cut short") << testsupport::dataFileBytes("11").left(120);
    QByteArray everyByte;
    for (int i = 0; i < 256; ++i)
        everyByte.append(char(i));
    QTest::newRow("every byte value") << everyByte;
    QTest::newRow("hostile XML: an entity that reads a file")
        << fixtureBytes(QStringLiteral("load_external_entity.xml"));
    QTest::newRow("billion laughs") << fixtureBytes(QStringLiteral("load_billion_laughs.xml"));
    QTest::newRow("number the schema refuses") << fixtureBytes(QStringLiteral("load_bad_number.xml"));
    // Valid for the schema, but the loader stops at it.
    QTest::newRow("comment among the classes") << fixtureBytes(QStringLiteral("load_comment_in_root.xml"));
}

void tst_NewDataStore::storeRefusesWhatIsNoDataFile()
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

void tst_NewDataStore::storeFailureKeepsEarlierFile_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("description"); // why, in the user's words
    QTest::newRow("unsafe title") << QStringLiteral("../old") << QString();
    QTest::newRow("too long") << QString(252, u'n') << QString();
    QTest::newRow("a folder of that name") << QStringLiteral("folder") << FileErrorText::ofErrno(EISDIR);
    // Also for the administrator.
    QTest::newRow("a file its owner may not write") << QStringLiteral("kept") << FileErrorText::ofErrno(EACCES);
}

void tst_NewDataStore::storeFailureKeepsEarlierFile()
{
    QFETCH(QString, title);
    QVERIFY(m_folder->writeData(QStringLiteral("old.xml"), "earlier"));
    QVERIFY(m_folder->writeData(QStringLiteral("kept.xml"), "earlier"));
    QVERIFY(QFile::setPermissions(m_folder->dataPath(QStringLiteral("kept.xml")), QFile::ReadOwner));
    QVERIFY(QDir(m_folder->dataPath()).mkdir(QStringLiteral("folder.xml")));
    QVERIFY(m_folder->writeData(QStringLiteral("folder.xml/inside"), "kept"));
    const auto before = snapshot(m_folder->path());

    const Outcome<modNengajo::DataStored> result
        = modNengajo::StoreDataFile(m_folder->dataPath(), title, testsupport::dataFileBytes("12"));
    QCOMPARE(result.code, modNengajo::DataStored::NotWritten);
    QTEST(result.words, "description");
    QCOMPARE(snapshot(m_folder->path()), before);
}

void tst_NewDataStore::storeReplacesASymlinkNotItsTarget()
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

QTEST_MAIN(tst_NewDataStore)
#include "tst_newdatastore.moc"
