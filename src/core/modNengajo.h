#pragma once

#include <QDate>
#include <QDebug>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>

namespace platform {
namespace xml {
class Document;
} // namespace xml
} // namespace platform

// The program's shared module: the winning data and the list of newly
// published data files as types, and the routines that read them. The data in
// force are one DataInForce (core/DataInForce.h), which holds both.

// One prize class: class k is the prize "k等" (k in full-width digits).
struct PrizeClass
{
    QString strName;
    // The winning numbers at positions 1..; slot 0 is never read. The row
    // ends after the last position written: number(j) reads every position up
    // to intMaxNumbers, empty text past the class's own count.
    QStringList strNumbers;
    // The goods, joined by CR LF, nothing after the last.
    QString strSyouhin;

    // Position j of strNumbers, or empty text when there is no such position.
    QString number(int j) const { return j >= 0 && j < strNumbers.size() ? strNumbers.at(j) : QString(); }

    bool operator==(const PrizeClass &) const = default;
};
QDebug operator<<(QDebug debug, const PrizeClass &prizeClass);

// The one set of winning-number data in force: one card type of one year.
struct WinningData
{
    QString strFileName; // bare name with ".xml" inside the data folder; empty: none in force
    QString strType;
    QString strYear;
    QString strUrl;
    // The day of the draw and the first and last day of the prize exchange;
    // a null date where the file gives none.
    QDate drawDate;
    QDate exchangeFrom;
    QDate exchangeTo;
    qint16 intClassCount = 0;
    qint16 intMaxNumbers = 0;
    // Classes 1..intClassCount; slot 0 is never read.
    QList<PrizeClass> Classes;

    // Class k, or an empty class when there is no such slot.
    const PrizeClass &prizeClass(int k) const;

    bool operator==(const WinningData &) const = default;
};
QDebug operator<<(QDebug debug, const WinningData &data);

// One newly published data file found by the last list fetch.
struct NewDataEntry
{
    QString strTitle; // shown in the download dialog; stored as data/<title>.xml
    QString strXmlUrl; // absolute address of the data file

    bool operator==(const NewDataEntry &) const = default;
};
QDebug operator<<(QDebug debug, const NewDataEntry &entry);

namespace modNengajo {

// A value as qDebug and a failed test print it: "name(field, field, ...)".
template <typename... Fields> QDebug debugFields(QDebug debug, const char *name, const Fields &...fields)
{
    const QDebugStateSaver saver(debug);
    debug.nospace() << name << '(';
    const char *separator = "";
    ((debug << std::exchange(separator, ", ") << fields), ...);
    return debug << ')';
}

inline const QString SchemaFileName = QStringLiteral("tousen1.2.xsd");
inline const QString SchemaNamespace = QStringLiteral("urn:tousen");
inline const QString DefaultFileName = QStringLiteral("年賀状（平成17年度版）.xml");
inline const QString MessageTitle = QStringLiteral("Harovan");
inline const QString CrLf = QStringLiteral("\r\n");

// Empty text when the file parses and validates, else "[line:L, pos:C] reason".
QString ValidateDataFile(const QString &dataPath, const QString &schemaPath);

// Reads a parsed data file into data, which holds the data in force and keeps
// what the file does not replace. False on an error no valid data file
// produces (missing type or year, a node under the root that is not an
// element, counts beyond 16 bits, an address longer than MaxUrlLength); data
// may then be half read.
bool ReadDataDocument(const platform::xml::Document &document, WinningData &data);

// Reads data/<dataFileName>, validated against the schema, into data: for a
// look at another file without touching the data in force. False when it is
// missing, invalid or cannot be read.
bool ReadDataFile(const QString &dataFileName, WinningData &data);

// The part of text before the first ch; the whole text when ch does not occur.
QString CutAtChar(const QString &text, QChar ch);

// Decimal digits of n as full-width digits ("3" -> "３", "12" -> "１２").
QString FullWidthDigits(int n);

// The winning numbers of a class as the prize list shows them, one per line
// up to the first empty position. A class of more numbers than a window can
// hold shows its first MaxShownNumbers and how many more it has: the list
// must stay on the screen, with its close button, whatever the file holds.
inline constexpr int MaxShownNumbers = 20;
QString ShownNumbersText(const PrizeClass &prizeClass, int intMaxNumbers);

// The era and year as captions show it: "平成" + year when year begins with a
// decimal digit or is empty, else year itself (it carries its own era name).
QString EraYearText(const QString &strYear);

// "【" + type + era year + "年版】" for the main window's card-type label.
QString TypeCaptionText(const QString &strType, const QString &strYear);

// Address of the list document of newly published data files:
// "http://" + the download server + "/gajo/list.xml".
QString ListDocumentUrl();

// Whether host (and :port) names this computer (127.x.x.x, localhost, [::1]):
// a build that names no download server of its own.
bool IsThisComputer(const QString &host);
// The box of a list fetch that failed: "新着データリストの読み込みに失敗しました。",
// and, when the download server (host, else this build's) is this computer,
// a second line that says where new data come from instead.
QString ListFailedText();
QString ListFailedText(const QString &host);

// Reads a parsed list document: appends to list the entries whose data file
// (title + ".xml") isPresent does not report. Of entries with one title the
// first stands; the titles of later ones refused so among the new entries go
// once each to duplicates, the first MaxDuplicatesNamed of them. 0: new
// entries, 1: nothing new, -1: not a list document or an entry without a
// usable title or address (list may then hold the entries read before).
inline constexpr qsizetype MaxDuplicatesNamed = 10;
qint16 ReadListDocument(const platform::xml::Document &document,
    const std::function<bool(const QString &fileName)> &isPresent, QList<NewDataEntry> &list,
    QStringList *duplicates = nullptr);

} // namespace modNengajo
