#include "platform/settingsfile.h"

#include "testsupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

#include <atomic>
#include <thread>

#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

// The INI file behind settings.ini: read as the system's profile functions read
// it, written so that everything else in the file survives.
class TestSettingsFile : public QObject
{
    Q_OBJECT

private:
    QString write(const QByteArray &content)
    {
        const QString path = m_dir.filePath(QStringLiteral("settings.ini"));
        QFile file(path);
        file.remove();
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            qFatal("cannot write the test file");
        return path;
    }
    static QByteArray contentOf(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    // How a write meets a full disk: in the folder beside the file, or in
    // place when the program may change the file but not create files beside it.
    enum class Room { Beside, InPlace };

    // Writes the value in a child process whose files may grow to no more than
    // fileBytes, as on a disk that is full (writes past it fail); with
    // Room::InPlace as a user who may not create files in the folder. The
    // limits and the user never reach the test itself. True when the write
    // reported success.
    bool writeInChild(const QString &path, const QString &value, Room room, rlim_t fileBytes)
    {
        const QByteArray folder = QFile::encodeName(m_dir.path());
        const bool root = ::geteuid() == 0;
        if (room == Room::InPlace) {
            // Root may create files anywhere: the child becomes a user who
            // owns only the file; anyone else is kept out by the folder's mode.
            if (root
                && (::chmod(folder.constData(), 0755) != 0
                    || ::chown(QFile::encodeName(path).constData(), OtherUser, OtherUser) != 0))
                return false;
            if (!root && ::chmod(folder.constData(), 0555) != 0)
                return false;
        }
        const QString result = testsupport::inChildWithFileLimit(
            fileBytes,
            [&] {
                return platform::IniSettingsFile().writeString(
                           path, QStringLiteral("Settings"), QStringLiteral("FileName"), value)
                    ? QStringLiteral("written")
                    : QStringLiteral("failed");
            },
            room == Room::InPlace && root ? std::optional<uid_t>(OtherUser) : std::nullopt);
        ::chmod(folder.constData(), 0700);
        return result == u"written";
    }

    static constexpr uid_t OtherUser = 65534;

    QTemporaryDir m_dir;
    platform::IniSettingsFile m_ini;

private slots:
    void init() { QFile::remove(m_dir.filePath(QStringLiteral("settings.ini"))); }

    void read_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("maxBytes");
        QTest::addColumn<QString>("expected");

        // Finding the key
        QTest::newRow("plain") << QByteArray("[Settings]\nFileName=a.xml\n") << 512 << "a.xml";
        QTest::newRow("crlf") << QByteArray("[Settings]\r\nFileName=a.xml\r\n") << 512 << "a.xml";
        QTest::newRow("no final newline") << QByteArray("[Settings]\nFileName=a.xml") << 512 << "a.xml";
        QTest::newRow("names in other case") << QByteArray("[settings]\nFILENAME=a.xml\n") << 512 << "a.xml";
        QTest::newRow("blanks around") << QByteArray("  [ Settings ]  \n  FileName  =  a b.xml  \n") << 512
                                       << "a b.xml";
        QTest::newRow("quoted value") << QByteArray("[Settings]\nFileName=\" a.xml \"\n") << 512 << " a.xml ";
        QTest::newRow("japanese value") << QByteArray("[Settings]\nFileName=年賀状（令和8年版）.xml\n") << 512
                                        << QStringLiteral("年賀状（令和8年版）.xml");
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[Settings]\nFileName=a.xml\n") << 512 << "a.xml";
        QTest::newRow("first of two keys")
            << QByteArray("[Settings]\nFileName=a.xml\nFileName=b.xml\n") << 512 << "a.xml";
        QTest::newRow("after comments and other keys") << QByteArray(
            "; remembered file\n[Other]\nFileName=wrong.xml\n[Settings]\n;FileName=c.xml\nX=1\n"
            "FileName=a.xml\n") << 512 << "a.xml";
        QTest::newRow("empty value") << QByteArray("[Settings]\nFileName=\n") << 512 << "";
        QTest::newRow("equals in value") << QByteArray("[Settings]\nFileName=a=b.xml\n") << 512 << "a=b.xml";

        // Falling back to the default
        QTest::newRow("empty file") << QByteArray() << 512 << "default";
        QTest::newRow("key in another section") << QByteArray("[Other]\nFileName=a.xml\n") << 512 << "default";
        QTest::newRow("key before any section") << QByteArray("FileName=a.xml\n[Settings]\n") << 512 << "default";
        QTest::newRow("line without equals") << QByteArray("[Settings]\nFileName\n") << 512 << "default";
        QTest::newRow("over 4 MiB: no settings file")
            << QByteArray("[Settings]\nFileName=a.xml\n;" + QByteArray(4 * 1024 * 1024, ' ')) << 512 << "default";
        QTest::newRow("just under 4 MiB")
            << QByteArray("[Settings]\nFileName=a.xml\n;" + QByteArray(4 * 1024 * 1024 - 30, ' ')) << 512 << "a.xml";

        // The buffer: maxBytes - 1 bytes, never half a character
        const QByteArray long511 = QByteArray(511, 'a');
        QTest::newRow("511 bytes whole") << QByteArray("[Settings]\nFileName=" + long511 + "\n") << 512
                                         << QString::fromLatin1(long511);
        QTest::newRow("512 bytes cut") << QByteArray("[Settings]\nFileName=" + long511 + "b\n") << 512
                                       << QString::fromLatin1(long511);
        // "あ" is three bytes: 170 of them are 510 bytes, the 171st does not fit.
        const QString kana = QString(171, QChar(0x3042));
        QTest::newRow("cut before a split character")
            << QByteArray("[Settings]\nFileName=" + kana.toUtf8() + "\n") << 512 << kana.left(170);
        QTest::newRow("tiny buffer") << QByteArray("[Settings]\nFileName=abc\n") << 3 << "ab";
        QTest::newRow("no room at all") << QByteArray("[Settings]\nFileName=abc\n") << 1 << "";
    }

    void read()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, maxBytes);
        QFETCH(QString, expected);
        const QString path = write(content);
        QCOMPARE(m_ini.readString(
                     path, QStringLiteral("Settings"), QStringLiteral("FileName"), QStringLiteral("default"), maxBytes),
            expected);
    }

    void readMissingFileGivesDefault()
    {
        QCOMPARE(m_ini.readString(m_dir.filePath(QStringLiteral("none.ini")), QStringLiteral("Settings"),
                     QStringLiteral("FileName"), QStringLiteral("default"), 512),
            QStringLiteral("default"));
        QCOMPARE(m_ini.readString(m_dir.path(), QStringLiteral("Settings"), QStringLiteral("FileName"), QString(), 512),
            QString());
    }

    void write_data()
    {
        QTest::addColumn<QByteArray>("before"); // "<missing>": no file yet
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");

        QTest::newRow("new file") << QByteArray("<missing>") << "a.xml" << QByteArray("[Settings]\nFileName=a.xml\n");
        QTest::newRow("new file, empty value")
            << QByteArray("<missing>") << "" << QByteArray("[Settings]\nFileName=\n");
        QTest::newRow("japanese value") << QByteArray("<missing>") << QStringLiteral("年賀状（平成17年度版）.xml")
                                        << QByteArray("[Settings]\nFileName=年賀状（平成17年度版）.xml\n");
        QTest::newRow("replace, keeping everything else")
            << QByteArray("; my settings\r\n[Window]\r\nLeft=10\r\n\r\n[settings]\r\n; last file\r\nfilename = "
                          "old.xml\r\nOther=1\r\n\r\n[Tail]\r\nZ=\xE3\x81\x82\r\n")
            << "new.xml"
            << QByteArray("; my settings\r\n[Window]\r\nLeft=10\r\n\r\n[settings]\r\n; last file\r\nfilename=new."
                          "xml\r\nOther=1\r\n\r\n[Tail]\r\nZ=\xE3\x81\x82\r\n");
        QTest::newRow("key added at the end of its section")
            << QByteArray("[Settings]\nOther=1\n\n[Tail]\nZ=2\n") << "a.xml"
            << QByteArray("[Settings]\nOther=1\nFileName=a.xml\n\n[Tail]\nZ=2\n");
        QTest::newRow("key added to the last section without final newline") << QByteArray(
            "[Settings]\r\nOther=1") << "a.xml" << QByteArray("[Settings]\r\nOther=1\r\nFileName=a.xml\r\n");
        QTest::newRow("section added after the others") << QByteArray(
            "[Other]\r\nX=1") << "a.xml" << QByteArray("[Other]\r\nX=1\r\n[Settings]\r\nFileName=a.xml\r\n");
        QTest::newRow("only the first of two keys replaced") << QByteArray(
            "[Settings]\nFileName=a\nFileName=b\n") << "c" << QByteArray("[Settings]\nFileName=c\nFileName=b\n");
        QTest::newRow("byte order mark kept") << QByteArray("\xEF\xBB\xBF[Settings]\nFileName=a\n") << "b"
                                              << QByteArray("\xEF\xBB\xBF[Settings]\nFileName=b\n");
        QTest::newRow("empty file") << QByteArray("") << "a" << QByteArray("[Settings]\nFileName=a\n");
        // Values that reading would trim or unquote go in quotes.
        QTest::newRow("blanks at the ends kept")
            << QByteArray("<missing>") << " a b.xml " << QByteArray("[Settings]\nFileName=\" a b.xml \"\n");
        QTest::newRow("quotes at the ends kept")
            << QByteArray("<missing>") << "'a.xml'" << QByteArray("[Settings]\nFileName=\"'a.xml'\"\n");
    }

    void write()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        const QString path = m_dir.filePath(QStringLiteral("settings.ini"));
        if (before != "<missing>")
            write(before);
        QVERIFY(m_ini.writeString(path, QStringLiteral("Settings"), QStringLiteral("FileName"), value));
        QCOMPARE(contentOf(path), after);
        // What was written reads back.
        QCOMPARE(
            m_ini.readString(path, QStringLiteral("Settings"), QStringLiteral("FileName"), QStringLiteral("x"), 512),
            value);
    }

    void unwritableFileIsLeftAlone_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("read-only file") << "read-only";
        QTest::newRow("missing folder") << "missing folder";
        QTest::newRow("a folder of that name") << "folder";
        QTest::newRow("value with a line break") << "line break";
    }

    void unwritableFileIsLeftAlone()
    {
        QFETCH(QString, kind);
        const QByteArray original("[Settings]\nFileName=old.xml\n");
        QString path = write(original);
        QString value = QStringLiteral("new.xml");
        if (kind == u"read-only")
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser));
        else if (kind == u"missing folder")
            path = m_dir.filePath(QStringLiteral("none/settings.ini"));
        else if (kind == u"folder")
            path = m_dir.path();
        else
            value = QStringLiteral("a.xml\n[Evil]\nX=1");

        QVERIFY(!m_ini.writeString(path, QStringLiteral("Settings"), QStringLiteral("FileName"), value));
        const QString originalPath = m_dir.filePath(QStringLiteral("settings.ini"));
        QCOMPARE(contentOf(originalPath), original);
        QFile::setPermissions(originalPath, QFile::ReadOwner | QFile::WriteOwner);
    }

    // A full disk fails a write part-way: the old file stays byte for byte,
    // every other key and comment with it.
    void fullDiskKeepsTheOldFile_data()
    {
        QTest::addColumn<bool>("inPlace");
        QTest::newRow("new file beside the old one") << false;
        QTest::newRow("old file rewritten in place") << true;
    }
    void fullDiskKeepsTheOldFile()
    {
        QFETCH(bool, inPlace);
        const Room room = inPlace ? Room::InPlace : Room::Beside;
        const QByteArray original("; remembered card type\n[Window]\nLeft=10\n[Settings]\nFileName=old.xml\n");
        const QString path = write(original);
        const QString longer = QStringLiteral("年賀状（令和8年度版）.xml");
        QVERIFY(!writeInChild(path, longer, room, 16));
        QCOMPARE(contentOf(path), original);
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList {u"settings.ini"_s});

        // With room enough, the same write goes through.
        QVERIFY(writeInChild(path, longer, room, RLIM_INFINITY));
        QCOMPARE(contentOf(path), QByteArray(original).replace("old.xml", longer.toUtf8()));
    }

    // A settings.ini that is a link to a file elsewhere is replaced by the
    // program's own file, the file it named left as it was (38.18).
    void linkIsReplacedNotWrittenThrough()
    {
        const QString outside = m_dir.filePath(QStringLiteral("outside.ini"));
        const QString path = m_dir.filePath(QStringLiteral("settings.ini"));
        const QByteArray theirs("[Settings]\nFileName=old.xml\n; theirs\n");
        QFile file(outside);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(theirs) == theirs.size());
        file.close();
        QVERIFY(QFile::link(outside, path));
        QVERIFY(m_ini.writeString(path, QStringLiteral("Settings"), QStringLiteral("FileName"), u"new.xml"_s));
        QCOMPARE(contentOf(outside), theirs);
        QVERIFY(!QFileInfo(path).isSymLink());
        QCOMPARE(contentOf(path), QByteArray("[Settings]\nFileName=new.xml\n; theirs\n"));
        QFile::remove(outside);
    }

    // A FIFO named settings.ini would hold the program at its start until
    // something wrote into it; it is read as a missing file and never written.
    void fifoIsNoSettingsFile()
    {
        const QString path = m_dir.filePath(QStringLiteral("settings.ini"));
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        // Should the reader open the FIFO after all, this feeds it a value
        // instead of leaving the test waiting.
        std::atomic<bool> done = false;
        std::thread feeder([&] {
            // The reader may close the FIFO between this open and the write:
            // the write then fails with EPIPE instead of a SIGPIPE ending the test.
            sigset_t pipeSignal;
            sigemptyset(&pipeSignal);
            sigaddset(&pipeSignal, SIGPIPE);
            pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
            const QDeadlineTimer deadline(5000);
            while (!done && !deadline.hasExpired()) {
                const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    const QByteArray content("[Settings]\nFileName=fifo.xml\n");
                    [[maybe_unused]] const auto written = ::write(fd, content.constData(), content.size());
                    ::close(fd);
                    return;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        });
        const QString read = m_ini.readString(
            path, QStringLiteral("Settings"), QStringLiteral("FileName"), QStringLiteral("default"), 512);
        const bool written = m_ini.writeString(path, QStringLiteral("Settings"), QStringLiteral("FileName"), u"a"_s);
        done = true;
        feeder.join();
        QCOMPARE(read, QStringLiteral("default"));
        QVERIFY(!written);
        QVERIFY(QFileInfo(path).isFile() == false && QFileInfo(path).exists());
        QFile::remove(path);
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
