#include "core/DataFileAdd.h"

#include "core/DataEdit.h"
#include "core/DataFile.h"
#include "core/FileErrorText.h"
#include "core/NewData.h"
#include "core/UserFiles.h"
#include "core/modNengajo.h"

#include "platform/fileaccess.h"
#include "platform/xmldocument.h"

#include <QDir>
#include <QRegularExpression>

namespace {

using modNengajo::CrLf;

DataFileAdd refused(const QString &message)
{
    return {{DataFileAdded::Refused, message}, {}};
}

// The whole file at path, when it is a regular file of at most the size a
// data file may have; else why not, in words.
std::optional<QString> readDataFile(const QString &path, QByteArray &bytes)
{
    const QString shown = QDir::toNativeSeparators(path);
    // A link is followed to a file only.
    if (const platform::Entry entry = platform::entryAt(path);
        entry.kind == platform::EntryKind::Link && entry.target != platform::EntryKind::File)
        return QStringLiteral("\"%1\"はファイル以外のものへのリンクのため、追加できません。").arg(shown);
    switch (const platform::FileResult read = platform::readRegularFile(path, platform::xml::MaxDocumentBytes, bytes);
            read.error) {
    case platform::FileError::None:
        break;
    case platform::FileError::Missing:
        return QStringLiteral("ファイル\"%1\"が見つかりません。").arg(shown);
    case platform::FileError::NotAFile:
    case platform::FileError::Folder:
        return QStringLiteral("\"%1\"はファイルではないため、追加できません。").arg(shown);
    case platform::FileError::TooLarge:
        return QStringLiteral("ファイル\"%1\"は大きすぎるため、追加できません（%2バイトまで）。")
            .arg(shown)
            .arg(platform::xml::MaxDocumentBytes);
    default:
        return QStringLiteral("ファイル\"%1\"を読み込めません。%2。").arg(shown, FileErrorText::text(read));
    }
    return std::nullopt;
}

} // namespace

QString modNengajo::DataFileTitle(const QString &strType, const QString &strYear)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    DataEditInput input;
    input.strType = strType;
    input.strEra = digits.match(strYear.trimmed()).hasMatch() ? EraHeisei : QString();
    input.strYear = strYear;
    return DataEditTitle(input);
}

DataFileAdd modNengajo::AddDataFile(const QString &path, const std::function<bool(const QString &title)> &replace)
{
    const QString shown = QDir::toNativeSeparators(path);
    QByteArray bytes;
    if (const std::optional<QString> problem = readDataFile(path, bytes))
        return refused(*problem);
    if (const QString problem = CheckDataBytes(bytes); !problem.isEmpty())
        return refused(QStringLiteral("ファイル\"%1\"の記述にエラーがあるため、追加しませんでした。").arg(shown) + CrLf
            + CrLf + problem);

    platform::xml::Document document;
    document.loadXml(bytes);
    const platform::xml::Node root = document.documentElement();
    const QString title = DataFileTitle(root.attribute(QStringLiteral("type")).value_or(QString()),
        root.attribute(QStringLiteral("year")).value_or(QString()));
    if (!IsSafeDataTitle(title))
        return refused(QStringLiteral("ファイル\"%1\"のはがきの種類と年からはファイル名を作れないため、追加できません"
                                      "（/ \\ : * ? \" < > | や、先頭の「.」など）。")
                           .arg(shown));

    // The file of that name the card-type dialog would load, in whichever data folder.
    const QString existing = ExistingDataFileName(title + QStringLiteral(".xml"));
    if (!existing.isEmpty()) {
        QByteArray there;
        if (platform::readRegularFile(UserFiles::dataFilePath(existing), platform::xml::MaxDocumentBytes, there).ok()
            && there == bytes)
            return {{DataFileAdded::AlreadyThere, {}}, existing};
        if (!replace(existing.chopped(4)))
            return {{DataFileAdded::Declined, {}}, {}};
    }
    const QString stored = existing.isEmpty() ? title.normalized(QString::NormalizationForm_C) : existing.chopped(4);
    if (const Outcome<> written = WriteDataFile(UserFiles::newDataFolder(), stored, bytes); !written.ok())
        return refused(written.words);
    return {{DataFileAdded::Added, {}}, stored + QStringLiteral(".xml")};
}
