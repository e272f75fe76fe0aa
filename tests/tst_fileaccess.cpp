#include "core/FileErrorText.h"
#include "platform/fileaccess.h"

#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

#ifdef Q_OS_WIN
#include "platform/winerror_win.h"

#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

// Every file the program reads or writes (the won-card list, data files,
// settings.ini) goes through the seam: only a regular file is read, a link in
// the way of a write is replaced, never written through, and either the new
// bytes are all on disk or the earlier file is as it was and the user is told
// why in words.
class TestFileAccess : public QObject
{
    Q_OBJECT

private:
    QString path(const QString &name = u"list.csv"_s) const { return m_dir.filePath(name); }
    static QByteArray contentOf(const QString &path)
    {
        // A FIFO's open would wait for a writer.
        QFile file(path);
        return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    static void put(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            qFatal("cannot write the test file");
    }
#ifndef Q_OS_WIN
    static mode_t modeOf(const QString &path)
    {
        struct stat status
        { };
        return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777 : 0;
    }
#endif
    static QString write(const QString &path, const QByteArray &bytes)
    {
        return FileErrorText::text(platform::writeFile(path, bytes));
    }
    QStringList filesInFolder() const
    {
        return QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir m_dir;

private slots:
    void cleanup()
    {
        const QStringList names = filesInFolder();
        for (const QString &name : names) {
            // A link goes itself: what it names (/dev/null) is never touched.
            if (QFileInfo(path(name)).isSymLink() && QFile::remove(path(name)))
                continue;
            QFile::setPermissions(path(name), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QDir(path(name)).removeRecursively();
            QFile::remove(path(name));
        }
    }

#ifndef Q_OS_WIN
    void newFileHasTheUmasksPermissions()
    {
        const mode_t previous = ::umask(027);
        const QString error = write(path(), "1,000037\r\n");
        ::umask(previous);
        QCOMPARE(error, QString());
        QCOMPARE(contentOf(path()), QByteArray("1,000037\r\n"));
        QCOMPARE(modeOf(path()), mode_t(0640));
        QCOMPARE(filesInFolder(), QStringList {u"list.csv"_s});
    }

    // A link in the way is replaced by the new file: what it named stays as it was.
    void replacedFileKeepsItsPermissionsNotTheLink()
    {
        put(path(), "old");
        QVERIFY(::chmod(QFile::encodeName(path()).constData(), 0604) == 0);
        QCOMPARE(write(path(), "new"), QString());
        QCOMPARE(modeOf(path()), mode_t(0604));
        QVERIFY(QFile::link(path(), path(u"link.csv"_s)));
        QCOMPARE(write(path(u"link.csv"_s), "through"), QString());
        QCOMPARE(contentOf(path()), QByteArray("new"));
        QVERIFY(!QFileInfo(path(u"link.csv"_s)).isSymLink());
        QCOMPARE(contentOf(path(u"link.csv"_s)), QByteArray("through"));
        QCOMPARE(filesInFolder(), (QStringList {u"link.csv"_s, u"list.csv"_s}));
    }

    // What is at the path, made in the test's folder as "thing"; "target" is
    // what a link names, with its content "target".
    void make(const QString &kind)
    {
        const QByteArray thing = QFile::encodeName(path(u"thing"_s));
        if (kind == u"regular file" || kind == u"read-only file")
            put(path(u"thing"_s), "thing");
        if (kind == u"read-only file")
            QVERIFY(QFile::setPermissions(path(u"thing"_s), QFile::ReadOwner));
        if (kind == u"FIFO")
            QVERIFY(::mkfifo(thing.constData(), 0600) == 0);
        if (kind == u"device")
            QVERIFY(QFile::link(u"/dev/null"_s, path(u"thing"_s)));
        if (kind == u"folder")
            QVERIFY(QDir(m_dir.path()).mkdir(u"thing"_s));
        if (kind == u"link to file")
            put(path(u"target"_s), "target");
        if (kind == u"link to folder")
            QVERIFY(QDir(m_dir.path()).mkdir(u"target"_s));
        if (kind.startsWith(u"link") || kind == u"dangling link")
            QVERIFY(QFile::link(u"target"_s, path(u"thing"_s)));
        if (kind == u"write-only file") {
            put(path(u"thing"_s), "thing");
            QVERIFY(QFile::setPermissions(path(u"thing"_s), QFile::WriteOwner));
        }
        if (kind == u"behind a closed folder") {
            QVERIFY(QDir(m_dir.path()).mkdir(u"closed"_s));
            put(path(u"closed/thing"_s), "thing");
            QVERIFY(QFile::setPermissions(path(u"closed"_s), QFile::ReadOwner | QFile::WriteOwner));
        }
    }

    // One row for each thing that can stand at a path: what the seam sees
    // there, what a read finds, what a write gives, and what is there after
    // the write.
    void seam_data()
    {
        using E = platform::FileError;
        using K = platform::EntryKind;
        QTest::addColumn<QString>("kind");
        QTest::addColumn<K>("entry");
        QTest::addColumn<QString>("access"); // whether this process may read and write it, as "rw", "r-"
        QTest::addColumn<QString>("linkTarget");
        QTest::addColumn<E>("read");
        QTest::addColumn<E>("write");
        QTest::addColumn<QByteArray>("after"); // the bytes at the path after the write

        QTest::newRow("nothing") << u"nothing"_s << K::Nothing << u"--"_s << QString() << E::Missing << E::None
                                 << QByteArray("new");
        QTest::newRow("regular file") << u"regular file"_s << K::File << u"rw"_s << QString() << E::None << E::None
                                      << QByteArray("new");
        QTest::newRow("read-only file, also for the administrator")
            << u"read-only file"_s << K::File << u"r-"_s << QString() << E::None << E::WriteDenied
            << QByteArray("thing");
        // Written, and still write-only: nobody reads it.
        QTest::newRow("write-only file") << u"write-only file"_s << K::File << u"-w"_s << QString() << E::ReadDenied
                                         << E::None << QByteArray("<missing>");
        // The system does not say what is behind a folder that may not be entered.
        QTest::newRow("behind a closed folder") << u"behind a closed folder"_s << K::Unknown << u"--"_s << QString()
                                                << E::ReadDenied << E::WriteDenied << QByteArray("<missing>");
        // A FIFO is never opened for real: the open would wait for its other end.
        QTest::newRow("FIFO") << u"FIFO"_s << K::Other << u"rw"_s << QString() << E::NotAFile << E::NotAFile
                              << QByteArray("<missing>");
        QTest::newRow("device, through a link")
            << u"device"_s << K::Link << u"rw"_s << u"/dev/null"_s << E::NotAFile << E::None << QByteArray("new");
        QTest::newRow("folder") << u"folder"_s << K::Folder << u"rw"_s << QString() << E::NotAFile << E::Folder
                                << QByteArray("<missing>");
        // A link is followed to read a regular file only, and replaced by a write.
        QTest::newRow("link to file") << u"link to file"_s << K::Link << u"rw"_s << u"target"_s << E::None << E::None
                                      << QByteArray("new");
        QTest::newRow("link to folder") << u"link to folder"_s << K::Link << u"rw"_s << u"target"_s << E::NotAFile
                                        << E::None << QByteArray("new");
        QTest::newRow("dangling link") << u"dangling link"_s << K::Link << u"--"_s << u"target"_s << E::Missing
                                       << E::None << QByteArray("new");
    }
    void seam()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, after);
        if (::geteuid() == 0 && (kind == u"write-only file" || kind == u"behind a closed folder"))
            QSKIP("the administrator may read anything");
        make(kind);
        const QString at = path(kind == u"behind a closed folder" ? u"closed/thing"_s : u"thing"_s);
        const platform::Entry entry = platform::entryAt(at);
        QTEST(entry.kind, "entry");
        QTEST(QString(QChar(entry.processReads ? u'r' : u'-')) + QChar(entry.processWrites ? u'w' : u'-'), "access");
        QTEST(entry.linkTarget, "linkTarget");
        // Only a read-only file takes the write away from its owner.
        QCOMPARE(entry.target != platform::EntryKind::Nothing && entry.target != platform::EntryKind::Unknown
                && !entry.permissions.testFlag(QFile::WriteOwner),
            kind == u"read-only file");
        QFile file;
        QTEST(platform::openRegularFile(file, at).error, "read");
        file.close();
        QTEST(platform::writeFile(at, "new").error, "write");
        QCOMPARE(contentOf(at), after);
        // What a link names is never written, nor made.
        if (kind == u"link to file")
            QCOMPARE(contentOf(path(u"target"_s)), QByteArray("target"));
        if (kind.contains(u"link"))
            QCOMPARE(platform::entryAt(path(u"target"_s)).kind,
                kind == u"link to folder"      ? platform::EntryKind::Folder
                    : kind == u"dangling link" ? platform::EntryKind::Nothing
                                               : platform::EntryKind::File);
    }

    // A write that fails after the link in its way went puts the link back as it was.
    void failedWriteKeepsTheLink()
    {
        const QByteArray earlier("1,000037\r\n");
        put(path(), earlier);
        QVERIFY(QFile::link(u"list.csv"_s, path(u"link.csv"_s)));
        const QString error = testsupport::inChildWithFileLimit(
            16, [&] { return write(path(u"link.csv"_s), earlier + QByteArray(4096, 'x')); });
        QVERIFY2(error.startsWith(u"ディスクの空きがありません（"_s), qPrintable(error));
        QCOMPARE(platform::entryAt(path(u"link.csv"_s)).linkTarget, u"list.csv"_s);
        QCOMPARE(contentOf(path()), earlier);
        QCOMPARE(filesInFolder(), (QStringList {u"link.csv"_s, u"list.csv"_s}));
    }

    // A link in a folder that takes no new files cannot be replaced: it is
    // refused, never written through.
    void linkInAClosedFolderIsNotWrittenThrough()
    {
        put(path(u"target"_s), "target");
        QVERIFY(QDir(m_dir.path()).mkdir(u"closed"_s));
        QVERIFY(QFile::link(path(u"target"_s), path(u"closed/settings.ini"_s)));
        QVERIFY(QFile::setPermissions(path(u"closed"_s), QFile::ReadOwner | QFile::ExeOwner));
        QCOMPARE(
            platform::writeFile(path(u"closed/settings.ini"_s), "new", platform::ClosedFolder::RewriteInPlace).error,
            platform::FileError::WriteDenied);
        QCOMPARE(contentOf(path(u"target"_s)), QByteArray("target"));
        QVERIFY(QFileInfo(path(u"closed/settings.ini"_s)).isSymLink());
    }

    // Each failure leaves the earlier file byte for byte and nothing beside it,
    // and says why in Japanese, the system's words after it in parentheses.
    void failureKeepsTheEarlierFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("full disk") << "full disk" << u"ディスクの空きがありません（"_s;
        QTest::newRow("read-only file") << "read-only" << u"書き込みが許可されていません（"_s;
        QTest::newRow("a folder of that name") << "folder" << u"同じ名前のフォルダーがあります（"_s;
        QTest::newRow("missing folder") << "missing folder" << u"フォルダーまたはファイルが見つかりません（"_s;
    }
    void failureKeepsTheEarlierFile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        const QByteArray earlier("順番,番号,結果,賞品\r\n1,000037,１等,現金\r\n");
        QString target = path();
        if (kind == u"folder")
            QVERIFY(QDir(m_dir.path()).mkdir(u"list.csv"_s));
        else
            put(target, earlier);
        if (kind == u"read-only")
            QVERIFY(QFile::setPermissions(target, QFile::ReadOwner));
        if (kind == u"missing folder")
            target = path(u"none/list.csv"_s);

        const QByteArray longer = earlier + QByteArray(4096, 'x');
        const QString error = testsupport::inChildWithFileLimit(
            kind == u"full disk" ? 16 : RLIM_INFINITY, [&] { return write(target, longer); });
        QVERIFY2(error.startsWith(reason), qPrintable(error));
        QVERIFY(error.endsWith(u'）'));
        if (kind != u"folder")
            QCOMPARE(contentOf(path()), earlier);
        QCOMPARE(filesInFolder(), QStringList {u"list.csv"_s});
    }
#else
    // A new file and a replaced one, nothing left beside them; a read-only
    // file (its read-only mark) is never replaced.
    void replacesOnWindows()
    {
        QCOMPARE(write(path(), "1,000037\r\n"), QString());
        QCOMPARE(write(path(), "2,123456\r\n"), QString());
        QCOMPARE(contentOf(path()), QByteArray("2,123456\r\n"));
        QVERIFY(QFile::setPermissions(path(), QFile::ReadOwner));
        const QString error = write(path(), "new");
        QVERIFY2(error.startsWith(u"書き込みが許可されていません（"_s), qPrintable(error));
        QCOMPARE(contentOf(path()), QByteArray("2,123456\r\n"));
        QCOMPARE(filesInFolder(), QStringList {u"list.csv"_s});
    }

    // Windows' own error codes in the same words, Windows' text after them.
    void windowsErrorsInWords_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("reason");
        QTest::newRow("full disk") << int(ERROR_DISK_FULL) << u"ディスクの空きがありません（"_s;
        QTest::newRow("refused") << int(ERROR_ACCESS_DENIED) << u"書き込みが許可されていません（"_s;
        QTest::newRow("open elsewhere") << int(ERROR_SHARING_VIOLATION) << u"ファイルが使用中です（"_s;
        QTest::newRow("no such folder") << int(ERROR_PATH_NOT_FOUND) << u"フォルダーまたはファイルが見つかりません（"_s;
    }
    void windowsErrorsInWords()
    {
        QFETCH(int, error);
        const QString text = FileErrorText::text(platform::windowsFailure(DWORD(error)));
        QTEST(text.left(text.indexOf(u'（') + 1), "reason");
        QVERIFY(text.endsWith(u'）') && text.size() > text.indexOf(u'（') + 2);
    }
#endif

    // The words of a failure: the system's text after them when it adds
    // something, none when it says the same again.
    void failureInWords_data()
    {
        using E = platform::FileError;
        QTest::addColumn<platform::FileResult>("failure");
        QTest::addColumn<QString>("text");
        QTest::newRow("the system's text added") << platform::FileResult {E::DiskFull, u"No space left on device"_s}
                                                 << u"ディスクの空きがありません（No space left on device）"_s;
        QTest::newRow("found by the program")
            << platform::FileResult {E::NotAFile, {}} << u"通常のファイルではありません"_s;
        // Qt's Japanese text for EACCES is "許可されていません".
        QTest::newRow("said twice") << platform::FileResult {E::WriteDenied, u"許可されていません"_s}
                                    << u"書き込みが許可されていません"_s;
        QTest::newRow("success") << platform::FileResult {} << QString();
    }
    void failureInWords()
    {
        QFETCH(platform::FileResult, failure);
        QTEST(FileErrorText::text(failure), "text");
    }

#ifndef Q_OS_WIN
    // The program shows Qt's own texts in Japanese: a refused write is told
    // once. (Windows words its own errors, in the language it runs in.)
    void refusedWriteToldOnceInJapanese()
    {
        QTranslator qtTexts;
        if (!qtTexts.load(QLocale(QLocale::Japanese, QLocale::Japan), u"qtbase"_s, u"_"_s,
                QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QSKIP("Qt's Japanese texts are not installed");
        QCoreApplication::installTranslator(&qtTexts);
        const QString text = FileErrorText::ofErrno(EACCES);
        QCoreApplication::removeTranslator(&qtTexts);
        QCOMPARE(text, u"書き込みが許可されていません"_s);
    }
#endif
};

QTEST_GUILESS_MAIN(TestFileAccess)
#include "tst_fileaccess.moc"
