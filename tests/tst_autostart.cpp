#include "core/LoginEntry.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

using Failure = LoginEntryChange::Failure;

namespace {

const LoginEntryNames Names {u"名前"_s, u"説明"_s};

LoginEntryChange set(bool on, const QString &program)
{
    return XdgAutostart::set(on, program, Names);
}

bool on()
{
    return XdgAutostart::find().kind == LoginEntry::Kind::On;
}

} // namespace

class tst_Autostart : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_home = QTemporaryDir(); // a new home for each case
        QVERIFY(m_home.isValid());
        qputenv("HOME", m_home.path().toLocal8Bit());
        qunsetenv("XDG_CONFIG_HOME");
    }

    // Where the entry goes: $XDG_CONFIG_HOME when it is an absolute path.
    void folder_data()
    {
        QTest::addColumn<QString>("configHome");
        QTest::addColumn<QString>("folder"); // below the home folder
        QTest::newRow("unset") << QString() << u".config/autostart"_s;
        QTest::newRow("absolute") << u"HOME/conf/"_s << u"conf/autostart"_s;
        QTest::newRow("relative: ignored") << u"conf"_s << u".config/autostart"_s;
    }
    void folder()
    {
        QFETCH(QString, configHome);
        QFETCH(QString, folder);
        if (!configHome.isNull())
            qputenv("XDG_CONFIG_HOME", configHome.replace(u"HOME"_s, m_home.path()).toLocal8Bit());
        QCOMPARE(XdgAutostart::place(), m_home.filePath(folder) + u"/harovan-reminder.desktop"_s);
    }

    // Made and removed, the user's other entries untouched; valid for the
    // desktop's tools, also for a program whose path must be quoted.
    void makeAndRemove_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("exec");
        QTest::newRow("plain") << u"/usr/lib/harovan/harovan-remind"_s << u"Exec=/usr/lib/harovan/harovan-remind"_s;
        QTest::newRow("a space") << u"/home/a b/harovan-remind"_s << u"Exec=\"/home/a b/harovan-remind\""_s;
        QTest::newRow("quote, dollar, backslash, percent")
            << u"/opt/x\"$\\100%/harovan-remind"_s << u"Exec=\"/opt/x\\\\\"\\\\$\\\\\\\\100%%/harovan-remind\""_s;
    }
    void makeAndRemove()
    {
        QFETCH(QString, program);
        QFETCH(QString, exec);
        const QString folder = m_home.filePath(u".config/autostart"_s);
        QVERIFY(QDir().mkpath(folder));
        QFile other(folder + u"/other.desktop"_s);
        QVERIFY(other.open(QIODevice::WriteOnly) && other.write("[Desktop Entry]\n") > 0);
        other.close();

        QVERIFY(!on());
        QVERIFY(set(true, program).done());
        QVERIFY(on());
        QFile entry(XdgAutostart::place());
        QVERIFY(entry.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(entry.readAll()).split(u'\n');
        QVERIFY2(lines.contains(exec), qPrintable(lines.join(u'\n')));
        QVERIFY(lines.contains(u"Name[ja]=名前"_s) && lines.contains(u"Comment[ja]=説明"_s));
        const QString validate = QStandardPaths::findExecutable(u"desktop-file-validate"_s);
        if (!validate.isEmpty()) {
            QProcess process;
            process.start(validate, {entry.fileName()});
            QVERIFY(process.waitForFinished());
            QCOMPARE(process.readAll() + process.readAllStandardError(), QByteArray());
            QCOMPARE(process.exitCode(), 0);
        }

        QVERIFY(set(true, program).done()); // again: the same entry
        QVERIFY(set(false, program).done());
        QVERIFY(!on());
        QVERIFY(set(false, program).done()); // nothing to remove
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList {u"other.desktop"_s});
        QVERIFY(other.open(QIODevice::ReadOnly));
        QCOMPARE(other.readAll(), QByteArray("[Desktop Entry]\n"));
    }

    // What is found at the entry's name. Only the program's own entry that is
    // switched on shows as on; only the program's own entry is rewritten or
    // removed (a link in its place is replaced, never written through);
    // anything else is left byte for byte and told. An earlier version's
    // entry (harovan --remind) is rewritten to run harovan-remind.
    void found_data()
    {
        QTest::addColumn<QString>("link"); // "": the text is the entry; else the entry is a link to it
        QTest::addColumn<QByteArray>("text"); // "folder", "fifo": a folder, a FIFO
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("earlier");
        QTest::addColumn<int>("found"); // what a foreign entry is
        const QByteArray own = XdgAutostart::text(u"/opt/harovan/harovan-remind"_s, true, Names);
        const QByteArray earlier = QByteArray(own).replace("harovan-remind", "harovan --remind");
        const int on = int(LoginEntry::Kind::On);
        const int off = int(LoginEntry::Kind::Off);
        const int foreign = int(LoginEntry::Kind::Foreign);
        QTest::newRow("the program's own") << QString() << own << on << false << int(LoginEntry::Found::Nothing);
        QTest::newRow("Hidden=true") << QString() << own + "Hidden=true\n"
                                     << off << false << int(LoginEntry::Found::Nothing);
        QTest::newRow("X-GNOME-Autostart-enabled=false")
            << QString() << QByteArray(own).replace("enabled=true", "enabled=false") << off << false
            << int(LoginEntry::Found::Nothing);
        QTest::newRow("a quoted path") << QString()
                                       << QByteArray("[Desktop Entry]\nType=Application\nName=x\n"
                                                     "Exec=\"/home/a\\\\sb/harovan-remind\"\n")
                                       << on << false << int(LoginEntry::Found::Nothing);
        QTest::newRow("an earlier version's") << QString() << earlier << on << true << int(LoginEntry::Found::Nothing);
        QTest::newRow("an earlier version's, switched off") << QString() << earlier + "Hidden=true\n"
                                                            << off << true << int(LoginEntry::Found::Nothing);
        QTest::newRow("a link to the program's own")
            << u"elsewhere.desktop"_s << own << on << false << int(LoginEntry::Found::Nothing);
        QTest::newRow("another program's")
            << QString() << QByteArray("[Desktop Entry]\nType=Application\nName=x\nExec=/usr/bin/other --remind\n")
            << foreign << false << int(LoginEntry::Found::OtherProgram);
        QTest::newRow("the program's Exec in another group")
            << QString() << QByteArray("[Desktop Entry]\nExec=other\n[Desktop Action a]\nExec=harovan-remind\n")
            << foreign << false << int(LoginEntry::Found::OtherProgram);
        QTest::newRow("a link to the user's .bashrc")
            << u".bashrc"_s << QByteArray("alias ll='ls -l'\n") << foreign << false << int(LoginEntry::Found::Link);
        QTest::newRow("a link to nowhere")
            << u"gone.desktop"_s << QByteArray() << foreign << false << int(LoginEntry::Found::LinkToNothing);
        QTest::newRow("a folder") << QString() << QByteArray("folder") << foreign << false
                                  << int(LoginEntry::Found::Folder);
        // Never opened: the open itself would wait for a writer.
        QTest::newRow("a FIFO") << QString() << QByteArray("fifo") << foreign << false
                                << int(LoginEntry::Found::Unreadable);
        QTest::newRow("no Exec") << QString() << QByteArray("[Desktop Entry]\nType=Application\n") << foreign << false
                                 << int(LoginEntry::Found::NotAnEntry);
    }
    void found()
    {
        QFETCH(QString, link);
        QFETCH(QByteArray, text);
        QFETCH(int, kind);
        QFETCH(bool, earlier);
        QFETCH(int, found);
        const QString path = XdgAutostart::place();
        const QString program = u"/usr/lib/harovan/harovan-remind"_s;
        const QString target = link.isEmpty() ? path : m_home.filePath(link);
        // Made afresh before each change; what the program found there, read back.
        const auto setUp = [&] {
            QVERIFY(QDir().mkpath(QFileInfo(path).path()));
            if (text == "folder") {
                QVERIFY(QDir().mkpath(path));
                return;
            }
            QFile::remove(path);
            if (text == "fifo") {
                QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
                return;
            }
            if (!text.isEmpty()) {
                QFile file(target);
                QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size());
            }
            if (!link.isEmpty())
                QVERIFY(QFile::link(target, path));
        };
        const auto unchanged = [&] {
            QCOMPARE(QFileInfo(path).isSymLink(), !link.isEmpty());
            if (text == "folder") {
                QVERIFY(QFileInfo(path).isDir());
            } else if (text == "fifo") {
                QVERIFY(QFileInfo(path).exists() && !QFileInfo(path).isFile());
            } else if (!text.isEmpty()) {
                QFile file(target);
                QVERIFY(file.open(QIODevice::ReadOnly));
                QCOMPARE(file.readAll(), text);
            }
        };

        setUp();
        const LoginEntry there = XdgAutostart::find();
        QCOMPARE(int(there.kind), kind);
        QCOMPARE(there.earlier, earlier);
        QCOMPARE(int(there.found), found);
        // A foreign link is told by the path it names.
        if (kind == int(LoginEntry::Kind::Foreign) && !link.isEmpty())
            QCOMPARE(there.name, target);
        QCOMPARE(on(), kind == int(LoginEntry::Kind::On));

        // Switched on.
        LoginEntryChange change = set(true, program);
        if (kind == int(LoginEntry::Kind::Foreign)) {
            QCOMPARE(change.failure, Failure::Foreign);
            QCOMPARE(int(change.entry.found), found);
            unchanged();
        } else {
            QVERIFY(change.done());
            QVERIFY(QFileInfo(path).isFile() && !QFileInfo(path).isSymLink());
            QVERIFY(on());
            if (!link.isEmpty()) {
                QFile file(target);
                QVERIFY(file.open(QIODevice::ReadOnly));
                QCOMPARE(file.readAll(), text);
            }
        }

        // Switched off.
        setUp();
        change = set(false, program);
        if (kind == int(LoginEntry::Kind::Foreign)) {
            QCOMPARE(change.failure, Failure::Foreign);
            unchanged();
        } else {
            QVERIFY(change.done());
            QVERIFY(!QFileInfo::exists(path) && !QFileInfo(path).isSymLink());
        }

        // Rewritten at the program's start when it is an earlier version's.
        setUp();
        QVERIFY(XdgAutostart::updateEarlier(program, Names).done());
        const LoginEntry after = XdgAutostart::find();
        QCOMPARE(int(after.kind), kind);
        QVERIFY(!after.earlier);
        if (earlier) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), XdgAutostart::text(program, kind == int(LoginEntry::Kind::On), Names));
        } else {
            unchanged();
        }
    }

    // Refused with what stands in the way; nothing made or removed.
    void failure_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("on");
        QTest::addColumn<Failure>("failure");
        QTest::addColumn<QString>("reason"); // "file": the file in the way; "denied": the system refused
        QTest::newRow("XDG_CONFIG_HOME is a file") << u"file"_s << true << Failure::FolderNotMade << u"file"_s;
        QTest::newRow("read-only folder: not made") << u"read-only"_s << true << Failure::NotWritten << u"denied"_s;
        QTest::newRow("read-only folder: not removed") << u"read-only"_s << false << Failure::NotRemoved << u"denied"_s;
        QTest::newRow("a line break in the program's path")
            << u"line break"_s << true << Failure::ProgramPath << QString();
    }
    void failure()
    {
        QFETCH(QString, kind);
        QFETCH(bool, on);
        QFETCH(Failure, failure);
        QFETCH(QString, reason);
        const QString folder = m_home.filePath(u"conf/autostart"_s);
        qputenv("XDG_CONFIG_HOME", m_home.filePath(u"conf"_s).toLocal8Bit());
        QString program = u"/usr/lib/harovan/harovan-remind"_s;
        if (kind == u"file") {
            QFile file(m_home.filePath(u"conf"_s));
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else if (kind == u"read-only") {
            QVERIFY(QDir().mkpath(folder));
            if (!on)
                QVERIFY(set(true, program).done());
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        } else {
            program = u"/opt/a\nb/harovan-remind"_s;
        }
        const LoginEntryChange change = set(on, program);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(change.failure, failure);
        if (reason == u"file")
            QCOMPARE(change.other, m_home.filePath(u"conf"_s));
        else
            QCOMPARE(change.refusal.error,
                reason == u"denied" ? platform::FileError::WriteDenied : platform::FileError::None);
        QCOMPARE(::on(), !on && kind == u"read-only");
    }

private:
    QTemporaryDir m_home;
};

QTEST_GUILESS_MAIN(tst_Autostart)
#include "tst_autostart.moc"
