// harovan-remind against a notification server on the test's own session
// bus (the test runs under dbus-run-session).
#include "core/AtariBook.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <array>
#include <csignal>

using namespace Qt::StringLiterals;

namespace {

const QString Service = u"org.freedesktop.Notifications"_s;
const QString Path = u"/org/freedesktop/Notifications"_s;

// The processes started from program (harovan --show-list).
QList<qint64> processesOf(const QString &program)
{
    QList<qint64> pids;
    const QStringList entries = QDir(u"/proc"_s).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        QFile cmdline(u"/proc/"_s + entry + u"/cmdline"_s);
        if (!number || !cmdline.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> args = cmdline.readAll().split('\0');
        if (args.value(0) == program.toLocal8Bit() && args.contains("--show-list"))
            pids.append(pid);
    }
    return pids;
}

} // namespace

// The server's side of org.freedesktop.Notifications, as much as harovan-remind uses.
class FakeNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QStringList capabilities;
    // What the user does: "show-list" takes the action, "close" dismisses it.
    QString answer;
    QVariantList notified;
    int notifyCount = 0;

public slots:
    QStringList GetCapabilities() { return capabilities; }
    uint Notify(const QString &appName, uint replacesId, const QString &appIcon, const QString &summary,
        const QString &body, const QStringList &actions, const QVariantMap &hints, int expireTimeout)
    {
        ++notifyCount;
        notified
            = {appName, replacesId, appIcon, summary, body, actions, hints.value(u"desktop-entry"_s), expireTimeout};
        QTimer::singleShot(100, this, [this] {
            if (answer == u"show-list"_s)
                send(u"ActionInvoked"_s, {7u, answer});
            else if (answer == u"close"_s)
                send(u"NotificationClosed"_s, {7u, 2u});
        });
        return 7;
    }
    void CloseNotification(uint) { }

private:
    void send(const QString &name, const QVariantList &arguments)
    {
        QDBusMessage signal = QDBusMessage::createSignal(Path, Service, name);
        signal.setArguments(arguments);
        QDBusConnection::sessionBus().send(signal);
    }
};

class tst_Remind : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under dbus-run-session");
        QVERIFY(QDBusConnection::sessionBus().registerObject(Path, &m_server, QDBusConnection::ExportAllSlots));
    }

    void remind_data()
    {
        QTest::addColumn<int>("daysLeft"); // -1: no book
        QTest::addColumn<int>("version"); // written into the book; 0: as made
        QTest::addColumn<bool>("askedToday");
        QTest::addColumn<QString>("bus"); // "server", "no server", "no bus"
        QTest::addColumn<QStringList>("capabilities");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("notifies");
        QTest::addColumn<bool>("earlier"); // started as an earlier version's entry did: harovan --remind

        const QStringList withActions {u"body"_s, u"actions"_s};
        QTest::newRow("due, the list opened")
            << 11 << 0 << false << u"server"_s << withActions << u"show-list"_s << true << false;
        QTest::newRow("due, dismissed") << 11 << 0 << false << u"server"_s << withActions << u"close"_s << true
                                        << false;
        QTest::newRow("due, a server without actions")
            << 30 << 0 << false << u"server"_s << QStringList {u"body"_s} << QString() << true << false;
        QTest::newRow("not due yet") << 31 << 0 << false << u"server"_s << withActions << QString() << false << false;
        QTest::newRow("already asked today")
            << 11 << 0 << true << u"server"_s << withActions << QString() << false << false;
        QTest::newRow("no book") << -1 << 0 << false << u"server"_s << withActions << QString() << false << false;
        QTest::newRow("no notification server")
            << 11 << 0 << false << u"no server"_s << withActions << QString() << false << false;
        QTest::newRow("due, started as harovan --remind")
            << 11 << 0 << false << u"server"_s << withActions << u"close"_s << true << true;
        // No version of the program makes it: the book cannot be used, and nothing is said.
        QTest::newRow("a book of version -1")
            << 11 << -1 << false << u"server"_s << withActions << QString() << false << false;
        QTest::newRow("no session bus") << 11 << 0 << false << u"no bus"_s << withActions << QString() << false
                                        << false;
    }
    void remind()
    {
        QFETCH(int, daysLeft);
        QFETCH(int, version);
        QFETCH(bool, askedToday);
        QFETCH(QString, bus);
        QFETCH(QStringList, capabilities);
        QFETCH(QString, answer);
        QFETCH(bool, notifies);
        QFETCH(bool, earlier);

        // A program folder of its own, where the program keeps settings.ini and the book.
        QTemporaryDir folder;
        const QString program = folder.filePath(u"harovan"_s);
        QVERIFY(QFile::copy(HAROVAN_PROGRAM, program));
        QVERIFY(QFile::copy(HAROVAN_REMIND, folder.filePath(u"harovan-remind"_s)));
        QVERIFY(QFile::copy(PROGRAM_DIR "/harovan.svg"_L1, folder.filePath(u"harovan.svg"_s)));
        // The data files, so that the list started from the notification stays open.
        QVERIFY(QDir(folder.path()).mkdir(u"data"_s));
        for (const QString &name : QDir(PROGRAM_DATA_DIR ""_L1).entryList(QDir::Files))
            QVERIFY(QFile::copy(PROGRAM_DATA_DIR "/"_L1 + name, folder.filePath(u"data/"_s + name)));
        const QDate today = QDate::currentDate();
        const QString settingsPath = folder.filePath(u"settings.ini"_s);
        if (askedToday)
            QSettings(settingsPath, QSettings::IniFormat).setValue(u"Settings/Reminded"_s, today.toString(Qt::ISODate));
        if (daysLeft >= 0) {
            AtariBook book(folder.filePath(u"atari.db"_s));
            const AtariDraw draw {u"年賀状"_s, u"令和8"_s, u"a.xml"_s, today.addDays(daysLeft)};
            QCOMPARE(book.add(draw, u"123456"_s, 1, u"現金"_s), AtariBook::Added::Added);
            QCOMPARE(book.add(draw, u"****73"_s, 3, u"切手"_s), AtariBook::Added::Added);
        }
        // The version where the file's header keeps it, big-endian, once the book is closed.
        QFile book(folder.filePath(u"atari.db"_s));
        if (version != 0) {
            QVERIFY(book.open(QIODevice::ReadWrite) && book.seek(60));
            const std::array<char, 4> bytes {
                char(version >> 24), char(version >> 16), char(version >> 8), char(version)};
            QCOMPARE(book.write(bytes.data(), bytes.size()), qint64(bytes.size()));
            book.close();
        }

        m_server.capabilities = capabilities;
        m_server.answer = answer;
        m_server.notifyCount = 0;
        if (bus == u"server"_s)
            QVERIFY(QDBusConnection::sessionBus().registerService(Service));
        const auto unregister = qScopeGuard([] { QDBusConnection::sessionBus().unregisterService(Service); });
        const auto endLists = qScopeGuard([&program] {
            for (const qint64 pid : processesOf(program))
                ::kill(pid, SIGKILL);
        });

        QProcess remind;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"HOME"_s, folder.path());
        environment.insert(u"XDG_CONFIG_HOME"_s, folder.filePath(u"config"_s));
        QVERIFY(QDir(folder.path()).mkdir(u"runtime"_s, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        environment.insert(u"XDG_RUNTIME_DIR"_s, folder.filePath(u"runtime"_s));
        if (bus == u"no bus"_s)
            environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, u"unix:path="_s + folder.filePath(u"no-bus"_s));
        remind.setProcessEnvironment(environment);
        // The autostart entry of an earlier version runs "harovan --remind", which hands over to harovan-remind.
        if (earlier)
            remind.start(program, {u"--remind"_s});
        else
            remind.start(folder.filePath(u"harovan-remind"_s));
        QVERIFY(remind.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(remind.state(), QProcess::NotRunning, 30'000);
        QCOMPARE(remind.exitStatus(), QProcess::NormalExit);
        QCOMPARE(remind.exitCode(), 0);
        QCOMPARE(remind.readAllStandardOutput() + remind.readAllStandardError(), QByteArray());

        QCOMPARE(m_server.notifyCount, notifies ? 1 : 0);
        const QString reminded = QSettings(settingsPath, QSettings::IniFormat).value(u"Settings/Reminded"_s).toString();
        QCOMPARE(reminded, notifies || askedToday ? today.toString(Qt::ISODate) : QString());
        if (!notifies)
            return;
        const QString body = u"引換がまだの当たりはがきが2枚あります。賞品の引換は"_s
            + QString::number(today.addDays(daysLeft).year()) + u'年' + QString::number(today.addDays(daysLeft).month())
            + u'月' + QString::number(today.addDays(daysLeft).day()) + u"日まで（あと"_s + QString::number(daysLeft)
            + u"日）です。"_s;
        const QStringList actions
            = capabilities.contains(u"actions"_s) ? QStringList {u"show-list"_s, u"一覧を表示"_s} : QStringList {};
        QCOMPARE(m_server.notified,
            (QVariantList {u"Harovan"_s, 0u, QUrl::fromLocalFile(folder.filePath(u"harovan.svg"_s)).toString(),
                u"お年玉賞品の引換期限が近づいています"_s, body, actions, u"harovan"_s, -1}));
        if (answer == u"show-list"_s)
            QTRY_COMPARE_WITH_TIMEOUT(processesOf(program).size(), 1, 10'000);
        else
            QCOMPARE(processesOf(program).size(), 0);
    }

private:
    FakeNotifications m_server;
};

QTEST_GUILESS_MAIN(tst_Remind)
#include "tst_remind.moc"
