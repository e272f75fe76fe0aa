// The list of won cards of a book of 1,000 cards shown: the window built over
// the book (its cards read), put on screen and painted once.
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise; the
// book lies in a temporary folder (TMPDIR picks the disk).

#include "core/AtariBook.h"
#include "fakeservices.h"
#include "testsupport.h"
#include "ui/frmAtariList.h"

#include <QApplication>
#include <QTableView>

#include <benchmark/benchmark.h>

namespace {

void BM_ShowList(benchmark::State &state)
{
    const testsupport::ProgramFolderFixture folder;
    const testsupport::FakeServices fakes;
    WinningData data
        = testsupport::makeWinningData({testsupport::makeClass({"455756"}, {"現金30万円", "切手集と現金20万円"}),
                                           testsupport::makeClass({"5037"}, {"ふるさと小包など"}),
                                           testsupport::makeClass({"73"}, {"お年玉切手シート"})},
            QStringLiteral("年賀状"), QStringLiteral("令和8"));
    data.exchangeTo = QDate(2026, 7, 21);
    DataInForce inForce;
    inForce.setWinningData(data);
    AtariBook book(folder.path() + QStringLiteral("atari.db"));
    for (int i = 0; i < state.range(0); ++i)
        book.add(AtariDraw::of(data), QString::number(100000 + i), 1 + i % 3, data.prizeClass(1 + i % 3).strSyouhin);
    const CheckRecord record;
    int rows = 0;
    for (auto _ : state) {
        frmAtariList list(book, record, inForce);
        list.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(list.grab());
        rows = list.findChild<QTableView *>()->model()->rowCount();
    }
    if (rows != state.range(0))
        state.SkipWithError("a card was not listed");
}
BENCHMARK(BM_ShowList)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
