// The list of won cards printed to a PDF file and saved as CSV, with goods of
// any length as a downloaded data file may give them: one card whose goods
// are a run of Latin letters without a place to break the line, or of kanji,
// each a place to break; and a list of 1,000 such cards saved as CSV.
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise; the
// files go to a temporary folder (TMPDIR picks the disk).

#include "benchsupport.h"
#include "core/AtariList.h"
#include "ui/AtariPrint.h"
#include "ui/Fonts.h"

#include <QApplication>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>

namespace {

// Goods of length characters: "A" (state's second argument 0) or "賞" (1).
QString longGoods(const benchmark::State &state)
{
    return QString(state.range(0), state.range(1) == 0 ? u'A' : u'賞');
}

AtariPrintContent content(const QString &goods, int cards)
{
    AtariPrintContent content;
    content.strTypeYear = QStringLiteral("【年賀状 令和8年度】");
    content.kigen = {QStringLiteral("賞品の引換は2026年7月21日まで（あと177日）"), false};
    for (int i = 1; i <= cards; ++i)
        content.rows.append({i, bench::cardNumber(i), QStringLiteral("３等"), goods, 3});
    content.strTotals = QStringLiteral("３等 %1枚　合計 %1枚").arg(cards);
    content.printed = QDate(2026, 1, 25);
    return content;
}

// state's third argument: how many cards.
void BM_PrintToPdf(benchmark::State &state)
{
    const QTemporaryDir folder;
    const AtariPrintContent printed = content(longGoods(state), static_cast<int>(state.range(2)));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    printer.setOutputFileName(folder.filePath(QStringLiteral("list.pdf")));
    for (auto _ : state) {
        if (const Outcome<> done = AtariPrint::print(printer, printed); !done.ok())
            state.SkipWithError(qPrintable(done.words));
    }
    state.counters["pdf_bytes"] = static_cast<double>(QFileInfo(printer.outputFileName()).size());
}
// Goods of 100,000 characters, and an ordinary list of 1,000 cards for comparison.
BENCHMARK(BM_PrintToPdf)
    ->ArgNames({"chars", "kanji", "cards"})
    ->Args({10000, 0, 1})
    ->Args({100000, 0, 1})
    ->Args({100000, 1, 1})
    ->Args({8, 1, 1000})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

void BM_SaveCsv(benchmark::State &state)
{
    const QTemporaryDir folder;
    const QList<AtariList::Row> rows = content(longGoods(state), static_cast<int>(state.range(2))).rows;
    const QString path = folder.filePath(QStringLiteral("list.csv"));
    for (auto _ : state) {
        if (const Outcome<> saved = AtariList::SaveFile(path, AtariList::CsvBytes(rows)); !saved.ok())
            state.SkipWithError(qPrintable(saved.words));
    }
    state.counters["csv_bytes"] = static_cast<double>(QFileInfo(path).size());
}
BENCHMARK(BM_SaveCsv)
    ->ArgNames({"chars", "kanji", "cards"})
    ->Args({100000, 0, 1000})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv)
{
    bench::offscreenUnlessTold();
    QApplication app(argc, argv);
    Fonts::installSubstitutions();
    return bench::run(argc, argv);
}
