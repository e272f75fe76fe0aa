#include "testsupport.h"

#include "core/UserFiles.h"
#include "platform/programfolder.h"

#include <QTest>

#ifndef Q_OS_WIN
#include <pwd.h>
#include <unistd.h>
#endif

#include <optional>

using testsupport::ProgramFolderFixture;

// Where settings.ini and data files are read and written: beside the program
// while its folder can be written, in the user's own folder when it cannot.
class tst_ProgramFolder : public QObject
{
    Q_OBJECT

private:
    // "program" or "user" for a path in one of the fixture's folders.
    static QString whose(const ProgramFolderFixture &folder, const QString &nativePath)
    {
        const QString path = QDir::fromNativeSeparators(nativePath);
        if (path.startsWith(folder.userPath()))
            return QStringLiteral("user:") + path.mid(folder.userPath().size());
        if (path.startsWith(folder.path()))
            return QStringLiteral("program:") + path.mid(folder.path().size());
        return path;
    }

private slots:
    void whereFilesGo_data()
    {
        QTest::addColumn<bool>("writable");
        QTest::addColumn<bool>("withHome");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("book");
        QTest::addColumn<QString>("newData");
        QTest::addColumn<QStringList>("listedFrom");

        QTest::newRow("writable program folder") << true << true << "program:settings.ini"
                                                 << "program:atari.db"
                                                 << "program:data/" << QStringList {"program:data/"};
#ifndef Q_OS_WIN
        // A folder is read-only on Windows by its access list alone, which a
        // test cannot take from its own user.
        QTest::newRow("read-only program folder") << false << true << "user:settings.ini"
                                                  << "user:atari.db"
                                                  << "user:data/" << QStringList {"user:data/", "program:data/"};
#endif
        QTest::newRow("read-only, the user has no home folder") << false << false << "program:settings.ini"
                                                                << "program:atari.db"
                                                                << "program:data/" << QStringList {"program:data/"};
    }

    void whereFilesGo()
    {
        QFETCH(bool, writable);
        QFETCH(bool, withHome);
        ProgramFolderFixture folder;
        platform::FakeProgramFolder withoutHome(folder.path());
        std::optional<platform::ScopedService<platform::ProgramFolder>> guard;
        if (!withHome)
            guard.emplace(withoutHome);
        folder.setReadOnly(!writable);
        const auto before = testsupport::snapshot(folder.path());

        QCOMPARE(UserFiles::programFolderKeepsUserFiles(), writable || !withHome);
        QTEST(whose(folder, UserFiles::settingsPath()), "settings");
        QTEST(whose(folder, UserFiles::settingsPathForWriting()), "settings");
        QTEST(whose(folder, UserFiles::bookPath()), "book");
        QTEST(whose(folder, UserFiles::newDataFolder()), "newData");
        QStringList listedFrom;
        for (const QString &path : UserFiles::dataFolders())
            listedFrom.append(whose(folder, path));
        QTEST(listedFrom, "listedFrom");
        // The schema and the bundled files are always the program's.
        QCOMPARE(QDir::fromNativeSeparators(platform::programDataFolder()), folder.dataPath());
        if (!writable)
            QCOMPARE(testsupport::snapshot(folder.path()), before);
    }

    void sharedSystemFolders_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("shared");
        QTest::newRow("package") << "/usr/lib/harovan/" << true;
        QTest::newRow("administrator's install") << "/usr/local/lib/harovan" << true;
        QTest::newRow("add-on tree") << "/opt/harovan/" << true;
        QTest::newRow("a name that only begins alike") << "/usrdata/harovan/" << false;
        QTest::newRow("user's install") << "/home/a/.local/lib/harovan/" << false;
        QTest::newRow("climbs out of /usr") << "/usr/../home/a/harovan/" << false;
    }

    void sharedSystemFolders()
    {
        QFETCH(QString, folder);
        QTEST(UserFiles::isSharedSystemFolder(folder), "shared");
    }

#ifndef Q_OS_WIN
    // These take the program folder's write permission away, which a folder
    // on Windows loses by its access list alone.
    void dataFilePath_data()
    {
        QTest::addColumn<bool>("inUserFolder");
        QTest::addColumn<bool>("inProgramFolder");
        QTest::addColumn<QString>("expected");

        QTest::newRow("bundled only") << false << true << "program:data/a.xml";
        QTest::newRow("the user's only") << true << false << "user:data/a.xml";
        QTest::newRow("both: the user's wins") << true << true << "user:data/a.xml";
        QTest::newRow("neither, the user has no data folder") << false << false << "program:data/a.xml";
    }

    void dataFilePath()
    {
        QFETCH(bool, inUserFolder);
        QFETCH(bool, inProgramFolder);
        ProgramFolderFixture folder;
        if (inUserFolder)
            QVERIFY(folder.addUserFixture(QStringLiteral("select_three.xml"), QStringLiteral("a.xml")));
        if (inProgramFolder)
            QVERIFY(folder.addFixture(QStringLiteral("select_five.xml"), QStringLiteral("a.xml")));
        folder.setReadOnly(true);
        QTEST(whose(folder, UserFiles::dataFilePath(QStringLiteral("a.xml"))), "expected");
    }

    // Names from both folders, each once, sorted; only files whose name ends
    // in the suffix exactly.
    void namesFromBothFolders()
    {
        ProgramFolderFixture folder;
        QVERIFY(folder.addSchema());
        for (const char *name : {"b.xml", "d.xml"})
            QVERIFY(folder.addFixture(QStringLiteral("select_five.xml"), QString::fromLatin1(name)));
        for (const char *name : {"b.xml", "a.xml", "c.XML"})
            QVERIFY(folder.addUserFixture(QStringLiteral("select_three.xml"), QString::fromLatin1(name)));
        QVERIFY(QDir(folder.userDataPath()).mkdir(QStringLiteral("folder.xml")));
        folder.setReadOnly(true);

        QCOMPARE(UserFiles::dataFileNames(QStringLiteral(".xml")), QStringList({"a.xml", "b.xml", "d.xml"}));
        folder.setReadOnly(false);
        QCOMPARE(UserFiles::dataFileNames(QStringLiteral(".xml")), QStringList({"b.xml", "d.xml"}));
    }

    // Reading creates nothing; the first write creates the user's folders,
    // private to the user, and nothing in the program folder.
    void foldersAreMadeWhenFirstNeeded()
    {
        ProgramFolderFixture folder;
        folder.setReadOnly(true);
        const auto before = testsupport::snapshot(folder.path());

        UserFiles::settingsPath();
        UserFiles::dataFolders();
        UserFiles::dataFilePath(QStringLiteral("a.xml"));
        UserFiles::dataFileNames(QStringLiteral(".xml"));
        QVERIFY(!QFileInfo::exists(folder.userPath()));

        UserFiles::settingsPathForWriting();
        QVERIFY(QFileInfo(folder.userPath()).isDir());
        QVERIFY(!QFileInfo::exists(folder.userDataPath()));
        QCOMPARE(UserFiles::newDataFolder(), folder.userDataPath());
        const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        for (const QString &path : {folder.userPath(), folder.userDataPath()})
            QCOMPARE(QFileInfo(path).permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser), ownerOnly);
        QCOMPARE(testsupport::snapshot(folder.path()), before);
    }

    void noDataFolderWhereAFileIsInTheWay()
    {
        ProgramFolderFixture folder;
        folder.setReadOnly(true);
        QVERIFY(QDir().mkpath(folder.userPath()));
        QFile blocker(folder.userPath() + QStringLiteral("data"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        QCOMPARE(UserFiles::newDataFolder(), QString());
    }

    void userFolderFromEnvironment_data()
    {
        QTest::addColumn<QByteArray>("dataHome"); // "<unset>": no XDG_DATA_HOME
        QTest::addColumn<QByteArray>("home");
        QTest::addColumn<bool>("testMode");
        QTest::addColumn<QString>("expected");

        QTest::newRow("XDG_DATA_HOME") << QByteArray("/srv/data") << QByteArray("/home/a") << false
                                       << "/srv/data/harovan";
        QTest::newRow("unset: ~/.local/share")
            << QByteArray("<unset>") << QByteArray("/home/a") << false << "/home/a/.local/share/harovan";
        QTest::newRow("relative XDG_DATA_HOME is ignored")
            << QByteArray("share") << QByteArray("/home/a") << false << "/home/a/.local/share/harovan";
        const QString account = QFile::decodeName(::getpwuid(::getuid())->pw_dir);
        const QString accountFolder
            = account == QStringLiteral("/") ? QString() : account + QStringLiteral("/.local/share/harovan");
        // Root's files would otherwise go into the program folder, /usr/lib/harovan too.
        QTest::newRow("home is the root: the account's home")
            << QByteArray("<unset>") << QByteArray("/") << false << accountFolder;
        // A relative HOME would be read from whatever folder the program started in.
        QTest::newRow("relative HOME: the account's home")
            << QByteArray("<unset>") << QByteArray("home/a") << false << accountFolder;
        // The folder comes from QStandardPaths, whose test mode keeps tests out of the user's files.
        QTest::newRow("Qt's test mode") << QByteArray("/srv/data") << QByteArray("/home/a") << true
                                        << "/home/a/.qttest/share/harovan";
    }

    void userFolderFromEnvironment()
    {
        QFETCH(QByteArray, dataHome);
        QFETCH(QByteArray, home);
        QFETCH(bool, testMode);
        const QByteArray oldDataHome = qgetenv("XDG_DATA_HOME");
        const QByteArray oldHome = qgetenv("HOME");
        if (dataHome == "<unset>")
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", dataHome);
        qputenv("HOME", home);
        QStandardPaths::setTestModeEnabled(testMode);
        const QString path = platform::RealProgramFolder().userRawPath();
        QStandardPaths::setTestModeEnabled(true);
        qputenv("HOME", oldHome);
        if (oldDataHome.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", oldDataHome);
        QTEST(path, "expected");
    }
#else
    // %APPDATA%\Harovan, whatever the running program calls itself.
    void userFolderOnWindows_data()
    {
        QTest::addColumn<QString>("applicationName");
        QTest::newRow("the program") << "Harovan";
        QTest::newRow("the login reminder") << "harovan-remind";
        QTest::newRow("a test") << "tst_programfolder";
    }

    void userFolderOnWindows()
    {
        QFETCH(QString, applicationName);
        const QString oldName = QCoreApplication::applicationName();
        QCoreApplication::setApplicationName(applicationName);
        QStandardPaths::setTestModeEnabled(false);
        const QString path = platform::RealProgramFolder().userRawPath();
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setApplicationName(oldName);
        QCOMPARE(
            QDir::fromNativeSeparators(path), QDir::fromNativeSeparators(qEnvironmentVariable("APPDATA")) + "/Harovan");
    }
#endif
};

QTEST_GUILESS_MAIN(tst_ProgramFolder)
#include "tst_programfolder.moc"
