#pragma once

#include <QDebug>
#include <QList>
#include <QString>

#include <optional>

// The valid data files of a data folder as the card-type dialog lists them:
// the newest draw first, so the cards a household checks now are one key away.

struct DataFileEntry
{
    QString strName; // the file name without ".xml": the entry's text
    QString strType; // the root's type, as written
    QString strYear; // the root's year, as written

    bool operator==(const DataFileEntry &) const = default;
};
QDebug operator<<(QDebug debug, const DataFileEntry &entry);

namespace modNengajo {

// The Western year of a draw from its era year: 平成 N is 1988 + N (digits
// alone are 平成), 令和 N is 2018 + N. No year when it cannot be read so.
std::optional<int> DrawYear(const QString &strYear);

// The order of the list: the newest draw first, then by card type, then by
// name; files whose year cannot be read come last, by name.
bool ListedBefore(const DataFileEntry &a, const DataFileEntry &b);

// The data files of the data folders that pass ValidateDataFile against the
// program's schema, in the order of ListedBefore. A user's file hides a
// bundled one of the same name, valid or not, as it is the one a choice would
// load. Each file is read afresh.
QList<DataFileEntry> ListDataFiles();

} // namespace modNengajo
