#include "core/NewData.h"

#include "core/DataFile.h"
#include "core/FileErrorText.h"
#include "core/UserFiles.h"
#include "platform/programfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

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
    if (title.isEmpty() || title.startsWith(u'.') || !IsOneLineText(title) || FileNameOf(title) != title
        || IsWindowsDeviceName(title))
        return false;
    return (title + QStringLiteral(".xml")).toUtf8().size() <= MaxFileNameBytes;
}

bool modNengajo::IsWindowsDeviceName(const QString &name)
{
    // Windows looks at the name before its first dot, blanks at its end left out.
    static const QRegularExpression device(QStringLiteral("^(CON|PRN|AUX|NUL|COM[0-9\\x{B9}\\x{B2}\\x{B3}]|"
                                                          "LPT[0-9\\x{B9}\\x{B2}\\x{B3}]|CONIN\\$|CONOUT\\$) *$"),
        QRegularExpression::CaseInsensitiveOption);
    return device.match(name.section(u'.', 0, 0)).hasMatch();
}

QString modNengajo::DataTitleKey(const QString &name)
{
    return name.normalized(QString::NormalizationForm_C).toCaseFolded();
}

QString modNengajo::ExistingDataFileName(const QString &fileName)
{
    // The name as the folder holds it, also where the system matches names
    // regardless of case.
    const QStringList names = UserFiles::dataFileNames(QStringLiteral(".xml"));
    if (names.contains(fileName))
        return fileName;
    const QString key = DataTitleKey(fileName);
    const auto found
        = std::find_if(names.cbegin(), names.cend(), [&key](const QString &name) { return DataTitleKey(name) == key; });
    return found != names.cend() ? *found : QString();
}

QString modNengajo::FileNameOf(QString name)
{
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    std::replace_if(
        name.begin(), name.end(), [](QChar c) { return c.category() == QChar::Other_Control || forbidden.contains(c); },
        u'_');
    return name;
}

Outcome<modNengajo::DataStored> modNengajo::StoreDataFile(
    const QString &dataFolder, const QString &title, const QByteArray &bytes)
{
    // A page of a hotel's network, an empty answer, half a file: none of
    // them takes the place of a data file, nor the name a later fetch offers.
    if (const QString problem = CheckDataBytes(bytes); !problem.isEmpty())
        return {DataStored::NotADataFile, problem};
    if (!IsSafeDataTitle(title) || !QFileInfo(dataFolder).isDir())
        return {DataStored::NotWritten, {}};
    const QString suffix = QStringLiteral(".xml");
    QString fileName = title.normalized(QString::NormalizationForm_C) + suffix;
    // The file that is one with the title is replaced, whatever its case or composition.
    const QStringList present = QDir(dataFolder).entryList({u'*' + suffix}, QDir::Files);
    const auto same = std::find_if(present.cbegin(), present.cend(),
        [key = DataTitleKey(fileName)](const QString &name) { return DataTitleKey(name) == key; });
    if (!present.contains(fileName) && same != present.cend())
        fileName = *same;
    if (const QString failure = FileErrorText::text(platform::writeFile(dataFolder + fileName, bytes));
        !failure.isEmpty())
        return {DataStored::NotWritten, failure};
    return {};
}
