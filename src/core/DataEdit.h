#pragma once

#include "core/Outcome.h"

#include <QByteArray>
#include <QDate>
#include <QDebug>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>

struct WinningData;

// A draw's numbers as a user types them in, from the newspaper or the
// operator's page, and the data file made of them. Every check happens here,
// before anything is written: one wrong digit tells a winner the card lost.

// What the fields of the editor hold, as typed.
struct DataEditInput
{
    static constexpr int ClassCount = 5;

    QString strType;
    QString strEra; // "令和" or "平成"
    QString strYear; // the year's digits
    // Per class (0 is 1等): the winning numbers separated by blanks, commas or
    // line breaks, and the goods, one item per line.
    std::array<QString, ClassCount> strNumbers;
    std::array<QString, ClassCount> strSyouhin;
    QString strDrawDate;
    QString strExchangeFrom;
    QString strExchangeTo;
    QString strUrl;

    bool operator==(const DataEditInput &) const = default;
};
QDebug operator<<(QDebug debug, const DataEditInput &input);

// The fields of the input a problem is told at, in the order of the editor.
enum class DataEditField {
    Type,
    Year,
    // The numbers of 1等 to 5等; a problem of a class's goods is told here too.
    Numbers1,
    Numbers2,
    Numbers3,
    Numbers4,
    Numbers5,
    DrawDate,
    ExchangeFrom,
    ExchangeTo,
    Url,
};
QDebug operator<<(QDebug debug, DataEditField field);

// The numbers field of class k (0 is 1等).
constexpr DataEditField numbersField(int k)
{
    return static_cast<DataEditField>(static_cast<int>(DataEditField::Numbers1) + k);
}

// One thing wrong with the input: the field that holds it and what to tell
// the user there.
struct DataEditProblem
{
    DataEditField field;
    QString message;

    bool operator==(const DataEditProblem &) const = default;
};
QDebug operator<<(QDebug debug, const DataEditProblem &problem);

// The file an input started from: each class's digits (0: no such class)
// and goods.
struct DataEditStart
{
    std::array<int, DataEditInput::ClassCount> digits {};
    std::array<QStringList, DataEditInput::ClassCount> goods;
};

namespace modNengajo {

inline const QString EraReiwa = QStringLiteral("令和");
inline const QString EraHeisei = QStringLiteral("平成");

// The winning numbers of one field: separated by blanks (also the
// full-width one), commas (also "，" and "、") or line breaks.
QStringList SplitNumbers(const QString &text);
// The goods of one field: each line that is not blank, without its blanks at the ends.
QStringList SplitSyouhin(const QString &text);
// A typed date ("2027/1/19", "2027-01-19", "2027年1月19日", full-width digits
// too); a null date when the text is empty or no day of the calendar.
QDate ParseTypedDate(const QString &text);

// Everything wrong with the input, at most one problem per field, in the
// order of the fields. Empty when a data file can be made of it.
QList<DataEditProblem> CheckDataEdit(const DataEditInput &input);

// The year attribute of the file: the digits alone for 平成 (as the bundled
// files write it), the era and the digits for 令和.
QString DataEditYear(const DataEditInput &input);
// The file's name without ".xml": type + "（" + era + year + "年度版）".
QString DataEditTitle(const DataEditInput &input);
// The data file of a checked input, as UTF-8 XML.
QByteArray DataEditXml(const DataEditInput &input);

// The fields filled from a data file: type, era, year, goods and, with
// everything, its numbers, dates and address too. Without everything, the
// start of a new draw of the same structure.
DataEditInput DataEditFrom(const WinningData &data, bool everything);
// The number of digits of each class's first number (0 for none): the
// structure a new draw of this kind usually repeats.
std::array<int, DataEditInput::ClassCount> DigitCounts(const WinningData &data);

// The file an input started from, as the confirmation holds the input up
// against it.
DataEditStart DataEditStartOf(const WinningData &data);
// Per class, the start's count of digits where the typed numbers have
// another; 0 where they agree, or either has no numbers. Other counts stay
// possible (平成26 had a 1等 of five digits), but are asked about once more.
std::array<int, DataEditInput::ClassCount> ChangedDigitCounts(const DataEditInput &input, const DataEditStart &start);

// Writes xml as title + ".xml" into folder through StoreDataFile, which
// checks it first; the result tells the user what went wrong. On any failure
// nothing new is left behind and an earlier file of that name is kept.
Outcome<> WriteDataFile(const QString &folder, const QString &title, const QByteArray &xml);

} // namespace modNengajo
