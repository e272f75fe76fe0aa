// harovan-remind.exe: started at login by the "Run" entry. When cards not yet
// exchanged are due (Reminder::Check), shows one balloon message from an icon
// in the notification area; a click on it starts harovan --show-list beside
// it. Nothing due, no notification area, no book or a book that cannot be
// read: ends at once, silent. Always status 0.
#include "core/AtariBook.h"
#include "core/Reminder.h"
#include "core/Settings.h"
#include "core/UserFiles.h"
#include "platform/clock.h"
#include "platform/programfolder.h"
#include "platform/settingsfile.h"
#include "ui/ProgramIcon.h"

#include <QApplication>
#include <QProcess>
#include <QSystemTrayIcon>
#include <QTimer>

#include <chrono>

namespace {

// How long the message stays offered; the icon goes with it.
constexpr auto ShownTime = std::chrono::minutes(30);

void discardMessage(QtMsgType, const QMessageLogContext &, const QString &) { }

} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(discardMessage);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Harovan"));
    QApplication::setQuitOnLastWindowClosed(false);

    platform::RealProgramFolder programFolder;
    platform::IniSettingsFile settingsFile;
    const platform::ScopedService<platform::ProgramFolder> s1(programFolder);
    const platform::ScopedService<platform::SettingsFile> s2(settingsFile);

    const QDate today = platform::RealClock().today();
    // No book, or one that cannot be read, lists no cards; the look at it makes nothing.
    const std::optional<Reminder::Due> due = Reminder::Check(
        today, AtariBook(UserFiles::bookPath(), AtariBook::Access::ReadOnly).pendingDraws(), Settings::reminded());
    if (!due || !QSystemTrayIcon::isSystemTrayAvailable())
        return 0;

    QSystemTrayIcon tray(programIcon());
    tray.setToolTip(QStringLiteral("Harovan"));
    const auto showList = [] {
        QProcess::startDetached(
            QCoreApplication::applicationDirPath() + QStringLiteral("/harovan.exe"), {QStringLiteral("--show-list")});
        QCoreApplication::exit(0);
    };
    QObject::connect(&tray, &QSystemTrayIcon::messageClicked, &app, showList);
    QObject::connect(&tray, &QSystemTrayIcon::activated, &app, showList);
    tray.show();
    tray.showMessage(Reminder::NotificationSummary, Reminder::NotificationBody(*due), programIcon());
    // Shown: not again today, here or in the program.
    Settings::setReminded(today);
    QTimer::singleShot(ShownTime, &app, [] { QCoreApplication::exit(0); });
    QApplication::exec();
    return 0;
}
