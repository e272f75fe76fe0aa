#pragma once

// What the benchmarks share: the draw their won cards are of, a book filled
// with such cards, and the main() that runs them.

#include "core/AtariBook.h"

#include <QByteArray>
#include <QStringList>

#include <benchmark/benchmark.h>

namespace bench {

// 令和8 with its last exchange day; the goods of its classes 1 to 3.
inline const AtariDraw Draw {
    QStringLiteral("年賀状"), QStringLiteral("令和8"), QStringLiteral("年賀状（令和8年度版）.xml"), QDate(2026, 7, 21)};
inline const QStringList Goods {QStringLiteral("現金30万円\r\n切手集と現金20万円"), QStringLiteral("ふるさと小包など"),
    QStringLiteral("お年玉切手シート")};

// The number of the i-th card of a benchmark.
inline QString cardNumber(int i)
{
    return QString::number(100000 + i);
}

// Enters count cards of Draw into book, of classes 1 to 3 in turn.
inline void fillBook(AtariBook &book, int count)
{
    for (int i = 0; i < count; ++i)
        book.add(Draw, cardNumber(i), qint16(1 + i % 3), Goods.at(i % 3));
}

// Windows are built on the offscreen platform unless QT_QPA_PLATFORM names
// another; called before the QApplication is made.
inline void offscreenUnlessTold()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// Runs the benchmarks the command line names, refusing an argument it does not know.
inline int run(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace bench
