// A change of the text size with every window of the program open at once:
// the main window and the two lists beside it, the card-type, download,
// data-editor and confirmation dialogs, the progress and version windows and
// a message box. Each change is timed from the choice to the windows laid
// out and painted again (the posted events processed), alternately up to 特大
// and back to 標準, the slowest way each time.
//
// Run it on a display as a user sees the program (QT_QPA_PLATFORM=xcb under
// Xvfb), or offscreen where there is none: it uses the platform Qt is told.

#include "benchsupport.h"
#include "core/UserFiles.h"
#include "fakeservices.h"
#include "testsupport.h"

#include "core/modNengajo.h"
#include "ui/Fonts.h"
#include "ui/TextSize.h"
#include "ui/frmAbout.h"
#include "ui/frmDataConfirm.h"
#include "ui/frmDataEdit.h"
#include "ui/frmDownFileList.h"
#include "ui/frmFileSelect.h"
#include "ui/frmMain.h"
#include "ui/frmProgress.h"

#include <QAction>
#include <QApplication>
#include <QMessageBox>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

void BM_ChangeTextSize(benchmark::State &state)
{
    testsupport::ProgramFolderFixture folder;
    testsupport::FakeServices fakes;
    ProgramState program(UserFiles::bookPath());
    WinningData data = testsupport::makeWinningData({testsupport::makeClass(
                                                         {QStringLiteral("123421")}, {QStringLiteral("現金30万円")}),
        testsupport::makeClass({QStringLiteral("7655")}, {QStringLiteral("ふるさと小包")}),
        testsupport::makeClass({QStringLiteral("21"), QStringLiteral("58")}, {QStringLiteral("お年玉切手シート")})});
    data.strFileName = QStringLiteral("bench.xml");
    data.strType = QStringLiteral("年賀状");
    data.strYear = QStringLiteral("令和8");
    program.data.setWinningData(data);
    const QList<NewDataEntry> newDataList {{QStringLiteral("年賀状（令和9年度版）"), QStringLiteral("u")}};

    auto main = std::make_unique<frmMain>(program);
    main->ShowTypeCaption();
    main->AllClear();
    main->show();
    main->findChild<QAction *>(QStringLiteral("mnuShowIchiran"))->trigger();
    main->findChild<QAction *>(QStringLiteral("mnuShowAtari"))->trigger();
    DataEditInput typed;
    typed.strNumbers[0] = QStringLiteral("123421");
    typed.strNumbers[2] = QStringLiteral("21 58");
    // The progress window shows a job that runs.
    testsupport::HandJob job;
    job.start();
    std::vector<std::unique_ptr<QWidget>> windows;
    windows.push_back(std::make_unique<frmFileSelect>(program.data, main.get()));
    windows.push_back(std::make_unique<frmDownFileList>(newDataList, main.get()));
    windows.push_back(std::make_unique<frmDataEdit>(program.data.winningData(), main.get()));
    windows.push_back(std::make_unique<frmDataConfirm>(typed, DataEditStart {}, main.get()));
    windows.push_back(std::make_unique<frmProgress>(&job, main.get()));
    windows.push_back(std::make_unique<frmAbout>(main.get()));
    windows.push_back(std::make_unique<QMessageBox>(QMessageBox::Information, QStringLiteral("Harovan"),
        QStringLiteral("新着の当選番号データはありません。"), QMessageBox::Ok, main.get()));
    for (const auto &window : windows)
        window->show();
    QApplication::processEvents();

    int percent = TextSize::Standard;
    for (auto _ : state) {
        percent = percent == TextSize::Standard ? TextSize::ExtraLarge : TextSize::Standard;
        TextSize::choose(percent);
        QApplication::processEvents();
    }
    if (main->findChild<QWidget *>(QStringLiteral("txtInputSimo2"))->font().pointSizeF() != 14.25 * TextSize::factor())
        state.SkipWithError("the main window did not follow the text size");
    TextSize::choose(TextSize::Standard);
    windows.clear();
    main.reset();
}
BENCHMARK(BM_ChangeTextSize)->Unit(benchmark::kMillisecond)->Iterations(40)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    Fonts::installSubstitutions();
    return bench::run(argc, argv);
}
