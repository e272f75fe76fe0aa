// harovan-remind: started at login by the autostart entry. Opens no window
// and links no window system: it must not slow a login. When cards not yet
// exchanged are due (Reminder::Check), sends one desktop notification through
// org.freedesktop.Notifications on the session bus, with the action
// "一覧を表示" (harovan --show-list beside it) where the server offers
// actions, and remembers the day. Nothing due, no session bus, no server, no
// book or a book that cannot be read: ends at once, silent. Always status 0.
#include "core/AtariBook.h"
#include "core/Reminder.h"
#include "core/Settings.h"
#include "core/UserFiles.h"
#include "platform/clock.h"
#include "platform/programfolder.h"
#include "platform/settingsfile.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>
#include <QUrl>

#include <chrono>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = QStringLiteral("org.freedesktop.Notifications");
const QString ShowListAction = QStringLiteral("show-list");

// A server that starts on demand may take a moment at login; one that does
// not answer within this is taken as none.
constexpr int CallTimeoutMs = 10'000;
// How long the action stays offered: a click after the program has ended
// would do nothing, so the notification is withdrawn then.
constexpr auto ActionTimeLimit = std::chrono::minutes(30);

void discardMessage(QtMsgType, const QMessageLogContext &, const QString &) { }

// The program's icon as the notification server reads it: the SVG beside the
// program, else the icon theme's (an installed package has both).
QString iconName()
{
    const QString svg = platform::programFolder() + QStringLiteral("harovan.svg");
    return QFileInfo(svg).isFile() ? QUrl::fromLocalFile(svg).toString() : QStringLiteral("harovan");
}

// Waits for the user's answer to one notification and starts the list when
// the action is taken.
class Answer : public QObject
{
    Q_OBJECT

public:
    explicit Answer(QDBusConnection bus)
        : m_bus(std::move(bus))
    { }

    bool listen()
    {
        return m_bus.connect(
                   Service, Path, Interface, QStringLiteral("ActionInvoked"), this, SLOT(actionInvoked(uint, QString)))
            && m_bus.connect(Service, Path, Interface, QStringLiteral("NotificationClosed"), this,
                SLOT(notificationClosed(uint, uint)));
    }

    uint id = 0;

public slots:
    void actionInvoked(uint notificationId, const QString &key)
    {
        if (notificationId != id)
            return;
        if (key == ShowListAction) {
            // A program of its own, which outlives this one and its output.
            QProcess list;
            list.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/harovan"));
            list.setArguments({QStringLiteral("--show-list")});
            list.setStandardOutputFile(QProcess::nullDevice());
            list.setStandardErrorFile(QProcess::nullDevice());
            list.startDetached();
        }
        QCoreApplication::exit(0);
    }
    void notificationClosed(uint notificationId, uint)
    {
        if (notificationId == id)
            QCoreApplication::exit(0);
    }

private:
    QDBusConnection m_bus;
};

} // namespace

int main(int argc, char *argv[])
{
    // Started at login: nothing on a terminal or in the journal.
    qInstallMessageHandler(discardMessage);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Harovan"));

    platform::RealProgramFolder programFolder;
    platform::IniSettingsFile settingsFile;
    const platform::ScopedService<platform::ProgramFolder> s1(programFolder);
    const platform::ScopedService<platform::SettingsFile> s2(settingsFile);

    const QDate today = platform::RealClock().today();
    // No book, or one that cannot be read, lists no cards; the look at it makes nothing.
    const std::optional<Reminder::Due> due = Reminder::Check(
        today, AtariBook(UserFiles::bookPath(), AtariBook::Access::ReadOnly).pendingDraws(), Settings::reminded());
    if (!due)
        return 0;

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return 0;
    const QDBusReply<QStringList> capabilities
        = bus.call(QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("GetCapabilities")),
            QDBus::Block, CallTimeoutMs);
    if (!capabilities.isValid())
        return 0;
    const bool withAction = capabilities.value().contains(QStringLiteral("actions"));

    Answer answer(bus);
    // Listening before the notification is sent, so a quick answer is not missed.
    if (withAction && !answer.listen())
        return 0;
    QDBusMessage notify = QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("Notify"));
    const QStringList actions
        = withAction ? QStringList {ShowListAction, QStringLiteral("一覧を表示")} : QStringList {};
    const QVariantMap hints {{QStringLiteral("desktop-entry"), QStringLiteral("harovan")}};
    notify << QStringLiteral("Harovan") << uint(0) << iconName() << Reminder::NotificationSummary
           << Reminder::NotificationBody(*due) << actions << hints << -1;
    const QDBusReply<uint> sent = bus.call(notify, QDBus::Block, CallTimeoutMs);
    if (!sent.isValid())
        return 0;
    // Shown: not again today, here or in the program.
    Settings::setReminded(today);
    if (!withAction)
        return 0;

    answer.id = sent.value();
    QTimer::singleShot(ActionTimeLimit, &app, [&bus, &answer] {
        QDBusMessage close
            = QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("CloseNotification"));
        close << answer.id;
        bus.call(close, QDBus::Block, CallTimeoutMs);
        QCoreApplication::exit(0);
    });
    QCoreApplication::exec();
    return 0;
}

#include "Remind.moc"
