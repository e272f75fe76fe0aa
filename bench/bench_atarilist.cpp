// The list of won cards of a book of 1,000 cards shown: the window built over
// the book (its cards read), put on screen and painted once.
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise; the
// book lies in a temporary folder (TMPDIR picks the disk).

#include "benchsupport.h"
#include "fakeservices.h"
#include "testsupport.h"
#include "ui/frmAtariList.h"

#include <QApplication>
#include <QTableView>

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
    bench::fillBook(book, static_cast<int>(state.range(0)));
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
    bench::offscreenUnlessTold();
    QApplication app(argc, argv);
    return bench::run(argc, argv);
}
