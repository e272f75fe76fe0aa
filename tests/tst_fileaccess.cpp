#include "platform/filewrite.h"

#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_WIN
#include "platform/winerror_win.h"

#include <windows.h>
#else
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

// Every file the program writes (the won-card list, data files, settings.ini)
// goes through replaceFile: either the new bytes are all on disk, or the
// earlier file is as it was and the user is told why in words.
class TestFileAccess : public QObject
{
    Q_OBJECT

private:
    QString path(const QString &name = u"list.csv"_s) const { return m_dir.filePath(name); }
    static QByteArray contentOf(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
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
    QStringList filesInFolder() const
    {
        return QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir m_dir;

private slots:
    void cleanup()
    {
        const QStringList names = filesInFolder();
        for (const QString &name : names) {
            QFile::setPermissions(path(name), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QDir(path(name)).removeRecursively();
            QFile::remove(path(name));
        }
    }

#ifndef Q_OS_WIN
    void newFileHasTheUmasksPermissions()
    {
        const mode_t previous = ::umask(027);
        const QString error = platform::replaceFile(path(), "1,000037\r\n");
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
        QCOMPARE(platform::replaceFile(path(), "new"), QString());
        QCOMPARE(modeOf(path()), mode_t(0604));
        QVERIFY(QFile::link(path(), path(u"link.csv"_s)));
        QCOMPARE(platform::replaceFile(path(u"link.csv"_s), "through"), QString());
        QCOMPARE(contentOf(path()), QByteArray("new"));
        QVERIFY(!QFileInfo(path(u"link.csv"_s)).isSymLink());
        QCOMPARE(contentOf(path(u"link.csv"_s)), QByteArray("through"));
        QCOMPARE(filesInFolder(), (QStringList {u"link.csv"_s, u"list.csv"_s}));
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
            kind == u"full disk" ? 16 : RLIM_INFINITY, [&] { return platform::replaceFile(target, longer); });
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
        QCOMPARE(platform::replaceFile(path(), "1,000037\r\n"), QString());
        QCOMPARE(platform::replaceFile(path(), "2,123456\r\n"), QString());
        QCOMPARE(contentOf(path()), QByteArray("2,123456\r\n"));
        QVERIFY(QFile::setPermissions(path(), QFile::ReadOwner));
        const QString error = platform::replaceFile(path(), "new");
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
        const QString text = platform::windowsErrorText(DWORD(error));
        QTEST(text.left(text.indexOf(u'（') + 1), "reason");
        QVERIFY(text.endsWith(u'）') && text.size() > text.indexOf(u'（') + 2);
    }
#endif
};

QTEST_GUILESS_MAIN(TestFileAccess)
#include "tst_fileaccess.moc"
