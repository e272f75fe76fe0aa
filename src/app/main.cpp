// harovan: the program with its windows. The login reminder is the
// executable beside it, harovan-remind (Remind.cpp).
#include "core/LoginEntry.h"
#include "core/LoginEntryTexts.h"
#include "core/ProgramState.h"
#include "core/UserFiles.h"
#include "core/modNengajo.h"
#include "platform/messagebox.h"
#include "platform/module.h"
#include "platform/realservices.h"
#include "platform/singleinstance.h"
#include "platform/stoprequest.h"
#include "ui/Fonts.h"
#include "ui/Placement.h"
#include "ui/ProgramIcon.h"
#include "ui/TextSize.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QProcess>
#include <QTimer>
#include <QTranslator>

#include <algorithm>
#include <cstdio>

namespace {

// harovan --remind, which the autostart entry of an earlier version runs:
// harovan-remind beside the program runs in its stead. (The entry itself is
// rewritten the next time the program starts.)
int runReminder(int argc, char *argv[])
{
    const QCoreApplication app(argc, argv);
    const int code = QProcess::execute(QCoreApplication::applicationDirPath() + QStringLiteral("/harovan-remind"), {});
    // As the reminder ends when it cannot remind: silent, at login.
    return std::max(code, 0);
}

} // namespace

int main(int argc, char *argv[])
{
    // --show-list: the login reminder's notification asks for the list of won cards.
    bool showList = false;
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--remind") == 0)
            return runReminder(argc, argv);
        if (qstrcmp(argv[i], "--show-list") == 0)
            showList = true;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Harovan"));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(HAROVAN_VERSION_MAJOR).arg(HAROVAN_VERSION_MINOR).arg(HAROVAN_VERSION_REVISION));
    platform::RealServices services;
    // One program at a time on one book: a second start brings the running
    // program forward (with --show-list, its list of won cards) and ends.
    using Request = platform::SingleInstance::Request;
    using Start = platform::SingleInstance::Start;
    platform::SingleInstance instance(
        platform::SingleInstance::nameFor(QFileInfo(UserFiles::bookPath()).absolutePath()),
        platform::modulePath(QStringLiteral("harovan_localchannel")));
    const Start start = instance.claim(showList ? Request::ShowList : Request::Show);
    if (start == Start::HandedOver)
        return 0;

    Fonts::installSubstitutions();
    // Every window and message box shows the program's icon, and the desktop
    // ties the running program to its entry.
    applyProgramIcon();
    // The program speaks Japanese whatever the desktop's language: Qt's own
    // texts (message box buttons, a text box's context menu) too.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    // The remembered text size, before the first window or box is built at it.
    TextSize::load();
    // The program runs on this book already and did not answer: a second
    // window on the same book would record the same cards twice.
    if (start == Start::Unanswered) {
        platform::showMessage(modNengajo::MessageTitle,
            QStringLiteral("Harovan はすでに起動していますが、応答がありません。") + modNengajo::CrLf
                + QStringLiteral("しばらく待ってから、もう一度起動してください。"),
            platform::MessageBox::Icon::Warning);
        return 0;
    }

    // The data in force, the sitting and the book outlive every window.
    ProgramState state(UserFiles::bookPath());
    frmMain window(state);
    QObject::connect(&instance, &platform::SingleInstance::requested, &window,
        [&window](Request request, const QString &token) { window.laterStart(request == Request::ShowList, token); });
    // Every message of the start-up appears before the window does.
    if (!window.Form_Load())
        return 1;
    // A shutdown or logout ends the program the way its window's close box does.
    platform::StopRequestWatcher stopRequests([&window] {
        window.closeForStop();
        QApplication::quit();
    });
    // Later starts are answered once the window is on screen, which does not wait for the socket's library.
    Placement::atFirstShow(&window, [&instance] { instance.listen(); });
    // Over the window once it is up, framed where the window manager put it (a box asked for before
    // lands where the window was still thought to be): a book that cannot be used, the reminder of
    // the exchange deadline or the list asked for with --show-list.
    Placement::atFirstShow(&window, [&window, showList] { window.remindAtStartUp(showList); });
    window.show();
    // What the window does not need to appear comes once it is up; with it,
    // an autostart entry of an earlier version (harovan --remind) runs
    // harovan-remind from now on.
    QTimer::singleShot(std::chrono::seconds(1), &window, [&services] {
        services.loadDeferred();
        if (const QString error = LoginEntryTexts::failure(
                LoginAutostart::updateEarlier(LoginAutostart::program(), LoginEntryTexts::names()));
            !error.isEmpty())
            std::fprintf(stderr, "harovan: %s\n", qPrintable(error));
    });
    return QApplication::exec();
}
