#pragma once

#include "core/DataEdit.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

// The published results of a draw, pasted as text from the operator's page, a
// newspaper site or a blog, read into the fields of the data editor. What is
// read is only put into the fields: the user compares it with the page and
// saves it through the confirmation as if typed.
//
// The text is read after NFKC (full-width digits and signs as ASCII), with
// format characters (direction marks, zero-width spaces) dropped. It is cut
// into cells at line breaks, tabs and "|" (tables copied as text, Markdown
// tables) and each cell into words: a class (1等 to 5等, or 等級), a count of
// digits (下4桁, 下4けた, 下4ケタ, 6桁), a date or year, a count, price or odds
// (789本, 30万円, 100万本に1本, 1/100, 1,000), or a winning number (two to six
// digits, or digits spaced out one by one). A class holds the numbers that
// follow it up to the next class, and the goods among the rest of its cells.

// What a paste gave.
struct ResultsRead
{
    // The input the text was read into: the fields it names changed, the others as they were.
    DataEditInput input;
    // What kept a class the text names out of the fields, at the class's numbers.
    QList<DataEditProblem> problems;
    // The classes whose numbers were taken (0 is 1等).
    std::array<bool, DataEditInput::ClassCount> taken {};
    // The fields the text changed, in the order of the fields: a class's numbers
    // (also when a problem emptied them), the year, the dates.
    QList<DataEditField> changed;
    // The classes a data file cannot hold, as the text names them (特別賞, 特等, 6等).
    QStringList leftOut;
    // The text was longer than MaxResultsTextBytes: only its beginning was read.
    bool cut = false;
};

namespace modNengajo {

// How much of a pasted text is read, in bytes of UTF-8.
inline constexpr qsizetype MaxResultsTextBytes = 1024 * 1024;

// The fields of current amended with what text names. When the text names no
// class, nothing changes: a stray date or year is not taken for a draw's.
ResultsRead ReadResultsText(const QString &text, const DataEditInput &current);

// The line that tells the user what a paste took: the classes read, a
// reminder to compare them, and what was left out; or that nothing was found.
QString ResultsSummary(const ResultsRead &read);

} // namespace modNengajo
