#include "core/DataFileList.h"

#include "core/DataFile.h"
#include "core/NewData.h"
#include "core/UserFiles.h"
#include "core/modNengajo.h"
#include "platform/xmldocument.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>

QDebug operator<<(QDebug debug, const DataFileEntry &entry)
{
    return modNengajo::debugFields(debug, "DataFileEntry", entry.strName, entry.strType, entry.strYear);
}

std::optional<int> modNengajo::DrawYear(const QString &strYear)
{
    // Four digits are more years than either era will have.
    static const QRegularExpression eraYear(QStringLiteral("^(平成|令和)?([0-9]{1,4})$"));
    const QRegularExpressionMatch match = eraYear.match(strYear);
    if (!match.hasMatch())
        return std::nullopt;
    const int n = match.captured(2).toInt();
    return match.captured(1) == QStringLiteral("令和") ? 2018 + n : 1988 + n;
}

bool modNengajo::ListedBefore(const DataFileEntry &a, const DataFileEntry &b)
{
    const std::optional<int> yearA = DrawYear(a.strYear);
    const std::optional<int> yearB = DrawYear(b.strYear);
    if (yearA.has_value() != yearB.has_value())
        return yearA.has_value();
    if (yearA && *yearA != *yearB)
        return *yearA > *yearB;
    if (yearA && a.strType != b.strType)
        return a.strType < b.strType;
    return a.strName < b.strName;
}

QList<DataFileEntry> modNengajo::ListDataFiles()
{
    const QString suffix = QStringLiteral(".xml");
    // One compiled schema for the whole listing.
    const std::unique_ptr<platform::xml::SchemaCache> schemas = ProgramSchema();

    QList<DataFileEntry> entries;
    // Names that differ in letter case or composition alone are one file:
    // the first of them is listed.
    QSet<QString> keys;
    // Case-sensitive: a ".XML" file could not be loaded under its ".xml" name.
    for (const QString &name : UserFiles::dataFileNames(suffix)) {
        if (keys.contains(DataTitleKey(name)))
            continue;
        keys.insert(DataTitleKey(name));
        const ParsedDataFile parsed = ParseDataFile(UserFiles::dataFilePath(name), schemas.get());
        if (!parsed.document)
            continue;
        const platform::xml::Node root = parsed.document->documentElement();
        entries.append({name.chopped(suffix.size()), root.attribute(QStringLiteral("type")).value_or(QString()),
            root.attribute(QStringLiteral("year")).value_or(QString())});
    }
    std::stable_sort(entries.begin(), entries.end(), ListedBefore);
    return entries;
}
