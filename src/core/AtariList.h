#pragma once

#include "core/CheckRecord.h"
#include "core/Outcome.h"
#include "core/modNengajo.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

// The sitting's cards as the list of won cards shows, saves and prints them.
namespace AtariList {

// One shown card: its place in the list (from 1), its number as typed,
// its result and the goods it won, and the class it won (0 for a loss); for a
// card of the book of won cards "済" once exchanged, the sender, and its id
// in the book (0 for a card of the sitting alone).
struct Row
{
    qsizetype intOrder = 0;
    QString strNumber;
    QString strResult;
    QString strSyouhin;
    qint16 intToukyu = 0;
    QString strKoukan {};
    QString strSender {};
    qint64 id = 0;

    bool operator==(const Row &) const = default;
};
QDebug operator<<(QDebug debug, const Row &row);

// What a card of the book whose class no data file can have (a damaged row) shows for its class.
inline const QString DamagedResult = QStringLiteral("不明（記録が壊れています）");

// "３等", "はずれ" for a loss, DamagedResult for a class below 0.
QString ResultText(qint16 intToukyu);

// The goods of a class on one line: one item as it is, several as
// "A／B／C（いずれか1点）".
QString SyouhinText(const QString &strSyouhin);

// The card type and year as the prize list names them: "【年賀状 令和8年度】".
QString TypeYearText(const WinningData &data);

// The hits per class and in all: "１等 1枚　３等 2枚　合計 3枚" (classes
// without hits left out). The book's counts over many sittings pass the
// sitting's 16-bit bound.
QString TotalsText(const QMap<qint16, qint64> &perClass, qint64 total);
// The sitting's counts, as CheckRecord keeps them.
QString TotalsText(const QMap<qint16, qint16> &perClass, qint64 total);

// Card index of the record as a row, with the goods of the data in force.
Row MakeRow(const CheckRecord &record, qsizetype index, const WinningData &data);

// "済" for a card exchanged on date, else empty.
QString KoukanText(const QDate &exchangedOn);

// The rows as a spreadsheet file: UTF-8 with a byte-order mark, CR LF line
// ends, a heading row "順番,番号,等級,賞品,引換,差出人" as the table's. A spreadsheet shows each card
// number as written ("000037", "****73") and runs no text as a formula.
// progress, when given, is told of the rows made (done of total); when it
// returns false the file is left unmade and the bytes are empty.
QByteArray CsvBytes(const QList<Row> &rows, const std::function<bool(qsizetype done, qsizetype total)> &progress = {});

// Writes bytes to path through a temporary file that replaces it in one step.
// On failure, path is unchanged.
Outcome<> SaveFile(const QString &path, const QByteArray &bytes);

} // namespace AtariList
