#include "app/WindowProgram.h"
#include "core/ProgramState.h"
#include "platform/programfolder.h"
#include "platform/realservices.h"
#include "platform/stoprequest.h"
#include "ui/Fonts.h"
#include "ui/ProgramIcon.h"
#include "ui/TextSize.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

int harovan_window_main(int *argc, char **argv)
{
    // --show-list: the login reminder's notification asks for the list of won cards.
    bool showList = false;
    for (int i = 1; i < *argc; ++i) {
        if (qstrcmp(argv[i], "--show-list") == 0)
            showList = true;
    }

    QApplication app(*argc, argv);
    QApplication::setApplicationName(QStringLiteral("Harovan"));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(HAROVAN_VERSION_MAJOR).arg(HAROVAN_VERSION_MINOR).arg(HAROVAN_VERSION_REVISION));
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
    platform::RealServices services;
    // The remembered text size, before the first window or box is built at it.
    TextSize::load();

    // The data in force, the sitting and the book outlive every window.
    ProgramState state(platform::bookPath());
    frmMain window(state);
    // Every message of the start-up appears before the window does.
    if (!window.Form_Load())
        return 1;
    // A shutdown or logout ends the program the way its window's close box does.
    platform::StopRequestWatcher stopRequests([&window] {
        window.closeForStop();
        QApplication::quit();
    });
    window.show();
    // Over the window once it is up: a book that cannot be used, the reminder of the exchange deadline
    // or the list asked for with --show-list.
    QTimer::singleShot(0, &window, [&window, showList] { window.remindAtStartUp(showList); });
    // What the window does not need to appear comes once it is up.
    QTimer::singleShot(std::chrono::seconds(1), &window, [&services] { services.loadDeferred(); });
    return QApplication::exec();
}
