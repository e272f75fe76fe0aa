// The book of won cards: entering one card as the main window does after each
// hit, listing a draw of 1,000 cards as the list window does, and opening a
// book of 1,000 cards with the look at the cards not yet exchanged that the
// start-up reminder makes, in the window and read-only as the login reminder
// does.
//
// The book lies in a temporary folder: TMPDIR picks the disk (the figures are
// of the disk it is on, so not of a tmpfs /tmp).

#include "core/AtariBook.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const AtariDraw Draw {
    QStringLiteral("年賀状"), QStringLiteral("令和8"), QStringLiteral("年賀状（令和8年度版）.xml"), QDate(2026, 7, 21)};

void fill(AtariBook &book, int count)
{
    for (int i = 0; i < count; ++i)
        book.add(Draw, QString::number(100000 + i), 3 + i % 3, QStringLiteral("お年玉切手シート"));
}

void BM_AddCard(benchmark::State &state)
{
    QTemporaryDir dir;
    AtariBook book(dir.filePath(QStringLiteral("atari.db")));
    fill(book, 1);
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
    AtariBook book(dir.filePath(QStringLiteral("atari.db")));
    fill(book, static_cast<int>(state.range(0)));
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
    const QString path = dir.filePath(QStringLiteral("atari.db"));
    {
        AtariBook book(path);
        fill(book, static_cast<int>(state.range(0)));
    }
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
    const QString path = dir.filePath(QStringLiteral("atari.db"));
    {
        AtariBook book(path);
        fill(book, static_cast<int>(state.range(0)));
    }
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
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
