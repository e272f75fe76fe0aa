// harovan-screenshots FOLDER SUFFIX: every window of the program as the
// Windows platform puts it on the screen, one PNG each (NAME-SUFFIX.png), at
// the text size settings.ini beside the program names. Run from the program
// folder by scripts/windows-screenshots.sh; the windows are made in this
// process, as in tst_installed_win.cpp, so that each one can be opened without
// clicking through the program.
#include "core/ProgramState.h"
#include "core/UserFiles.h"
#include "platform/realservices.h"
#include "testsupport.h"
#include "ui/Fonts.h"
#include "ui/TextSize.h"
#include "ui/frmAbout.h"
#include "ui/frmAtariList.h"
#include "ui/frmDataConfirm.h"
#include "ui/frmDataEdit.h"
#include "ui/frmDownFileList.h"
#include "ui/frmFileSelect.h"
#include "ui/frmMain.h"
#include "ui/frmProgress.h"
#include "ui/frmSyouhin.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <functional>
#include <memory>
#include <utility>

namespace {

// Notes the first paint of a widget.
class PaintSeen final : public QObject
{
public:
    explicit PaintSeen(QWidget *widget)
        : QObject(widget)
    {
        widget->installEventFilter(this);
    }
    bool seen = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        seen = seen || event->type() == QEvent::Paint;
        return false;
    }
};

// The window with its frame as the screen shows it, once it has painted
// itself and the screen has settled: two grabs in a row agree (a window that
// keeps moving, as a busy bar may, is shot as it is after two seconds).
void shoot(QWidget *window, const QString &path)
{
    const auto *painted = new PaintSeen(window);
    window->show();
    window->raise();
    QApplication::setActiveWindow(window);
    if (!QTest::qWaitForWindowExposed(window) || !QTest::qWaitFor([painted] { return painted->seen; }))
        qWarning("%s was never shown", qPrintable(path));
    delete painted;
    const auto grab = [window] {
        const QRect frame = window->frameGeometry();
        return window->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()).toImage();
    };
    QImage shot;
    if (!QTest::qWaitFor(
            [&] {
                const QImage previous = std::exchange(shot, grab());
                return shot == previous;
            },
            2000))
        qInfo("%s kept changing: shot as it was", qPrintable(path));
    if (!shot.save(path))
        qWarning("could not write %s", qPrintable(path));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 3)
        qFatal("usage: harovan-screenshots FOLDER SUFFIX");
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString suffix = QString::fromLocal8Bit(argv[2]);
    const auto path
        = [&](const QString &name) { return folder + u'/' + name + u'-' + suffix + QStringLiteral(".png"); };

    platform::RealServices services;
    // Qt's own texts in Japanese, as the program has them.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    Fonts::installSubstitutions();
    TextSize::load();

    ProgramState state(UserFiles::bookPath());
    frmMain window(state);
    if (!window.Form_Load())
        qFatal("the main window did not load");
    window.show();
    QApplication::setActiveWindow(&window);
    window.findChild<QWidget *>(QStringLiteral("txtInputSimo2"))->setFocus();
    // A hit on two digits and one on six, for the counts and the list of won cards.
    testsupport::typeKeys(QStringLiteral("73564557"));
    shoot(&window, path(QStringLiteral("frmMain")));

    window.findChild<QAction *>(QStringLiteral("mnuShowIchiran"))->trigger();
    shoot(window.Syouhin(false), path(QStringLiteral("frmSyouhin")));
    window.Syouhin(false)->hide();
    window.findChild<QAction *>(QStringLiteral("mnuShowAtari"))->trigger();
    auto *atariList = window.findChild<frmAtariList *>();
    shoot(atariList, path(QStringLiteral("frmAtariList")));
    // A message box: the question before a card leaves the book, answered No.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            poll.stop();
            shoot(box, path(QStringLiteral("QMessageBox")));
            box->reject();
        }
    });
    poll.start(100);
    atariList->findChild<QTableView *>(QStringLiteral("lstAtari"))->selectRow(0);
    atariList->findChild<QPushButton *>(QStringLiteral("cmdDelete"))->click();
    atariList->hide();

    // Each dialog made just before it is shot: the progress window shows itself.
    DataEditInput typed;
    typed.strType = QStringLiteral("年賀状");
    typed.strEra = QStringLiteral("令和");
    typed.strYear = QStringLiteral("9");
    typed.strNumbers[0] = QStringLiteral("123456");
    testsupport::HandJob job;
    const std::initializer_list<std::function<std::unique_ptr<QWidget>()>> dialogs {
        [&] { return std::make_unique<frmFileSelect>(state.data, &window); },
        [&] { return std::make_unique<frmAbout>(&window); },
        [&] { return std::make_unique<frmProgress>(&job, &window); },
        [&] { return std::make_unique<frmDownFileList>(state.data.NewDataList(), &window); },
        [&] { return std::make_unique<frmDataEdit>(state.data.winningData(), &window); },
        [&] {
            return std::make_unique<frmDataConfirm>(typed, DataEditStart {{6}, {}}, &window);
        },
    };
    for (const auto &make : dialogs) {
        const std::unique_ptr<QWidget> dialog = make();
        shoot(dialog.get(), path(dialog->objectName()));
    }
    return 0;
}
