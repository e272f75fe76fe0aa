// The book of won cards: entering one card as the main window does after each
// hit, listing a draw of 1,000 cards as the list window does, and opening a
// book of 1,000 cards with the look at the cards not yet exchanged that the
// start-up reminder makes, in the window and read-only as the login reminder
// does.
//
// The book lies in a temporary folder: TMPDIR picks the disk (the figures are
// of the disk it is on, so not of a tmpfs /tmp).

#include "benchsupport.h"

#include <QTemporaryDir>

namespace {

using bench::Draw;

// A book of count cards in dir, closed again.
QString bookOf(const QTemporaryDir &dir, int count)
{
    const QString path = dir.filePath(QStringLiteral("atari.db"));
    AtariBook book(path);
    bench::fillBook(book, count);
    return path;
}

void BM_AddCard(benchmark::State &state)
{
    QTemporaryDir dir;
    AtariBook book(bookOf(dir, 1));
    int number = 200000;
    for (auto _ : state) {
        if (book.add(Draw, QString::number(number++), 3, QStringLiteral("お年玉切手シート"))
            != AtariBook::Added::Added) {
            state.SkipWithError("the card was not entered");
            break;
        }
    }
}
BENCHMARK(BM_AddCard)->Unit(benchmark::kMillisecond);

void BM_ListCards(benchmark::State &state)
{
    QTemporaryDir dir;
    AtariBook book(bookOf(dir, static_cast<int>(state.range(0))));
    qsizetype listed = 0;
    for (auto _ : state) {
        listed = book.cards(Draw).size();
        benchmark::DoNotOptimize(listed);
    }
    if (listed != state.range(0))
        state.SkipWithError("a card was not listed");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ListCards)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_OpenBook(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = bookOf(dir, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        AtariBook book(path);
        if (book.open() != AtariBook::State::Ready || book.pendingDraws().size() != 1) {
            state.SkipWithError("the book did not open");
            break;
        }
    }
}
BENCHMARK(BM_OpenBook)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_OpenBookReadOnly(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = bookOf(dir, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        if (AtariBook(path, AtariBook::Access::ReadOnly).pendingDraws().size() != 1) {
            state.SkipWithError("the book did not open");
            break;
        }
    }
}
BENCHMARK(BM_OpenBookReadOnly)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return bench::run(argc, argv);
}
