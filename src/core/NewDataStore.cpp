#include "core/NewData.h"

#include "core/DataFile.h"
#include "core/FileErrorText.h"

#include <QFileInfo>

#include <algorithm>

namespace {

// Longest file name most file systems accept, in bytes.
constexpr qsizetype MaxFileNameBytes = 255;

} // namespace

bool modNengajo::IsOneLineText(const QString &text)
{
    if (!text.isValidUtf16())
        return false;
    // Format characters (U+202E and the like) make a text read otherwise
    // than it is stored; line and paragraph separators break it in two.
    return std::none_of(text.cbegin(), text.cend(), [](QChar c) {
        switch (c.category()) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            return true;
        default:
            return false;
        }
    });
}

bool modNengajo::IsSafeDataTitle(const QString &title)
{
    // A leading dot (also "." and "..") names a hidden file that the card-type
    // dialog never lists and later fetches never offer again.
    if (title.isEmpty() || title.startsWith(u'.') || !IsOneLineText(title) || FileNameOf(title) != title)
        return false;
    return (title + QStringLiteral(".xml")).toUtf8().size() <= MaxFileNameBytes;
}

QString modNengajo::FileNameOf(QString name)
{
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    std::replace_if(
        name.begin(), name.end(), [](QChar c) { return c.category() == QChar::Other_Control || forbidden.contains(c); },
        u'_');
    return name;
}

modNengajo::DataStoreResult modNengajo::StoreDataFile(
    const QString &dataFolder, const QString &title, const QByteArray &bytes)
{
    using Outcome = DataStoreResult::Outcome;
    // A page of a hotel's network, an empty answer, half a file: none of
    // them takes the place of a data file, nor the name a later fetch offers.
    if (const QString problem = CheckDataBytes(bytes); !problem.isEmpty())
        return {Outcome::NotADataFile, problem};
    if (!IsSafeDataTitle(title) || !QFileInfo(dataFolder).isDir())
        return {Outcome::NotWritten, {}};
    if (const QString failure
        = FileErrorText::text(platform::writeFile(dataFolder + title + QStringLiteral(".xml"), bytes));
        !failure.isEmpty())
        return {Outcome::NotWritten, failure};
    return {Outcome::Stored, {}};
}
