#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Builds the download site from a data folder: gajo/list.xml (the OPML list
// the program fetches) and a copy of every data file that passes the schema,
// side by side. A file that fails validation, or whose name the program would
// refuse as a title, is left out with the reason.
namespace publish {

struct Refusal
{
    QString fileName;
    QString reason;
};

struct Outcome
{
    bool ok = false; // false: nothing could be published (error says why)
    QString error;
    QStringList published; // file names, in list order
    QList<Refusal> refused;
};

// The list document's path below the site root; the program fetches it from
// "http://" + host + this path.
inline const QString ListPath = QStringLiteral("gajo/list.xml");

// dataFolder holds the data files and the schema; siteFolder is created when
// missing. baseUrl is the address the site will be served at ("http://host:port").
Outcome publishSite(
    const QString &dataFolder, const QString &siteFolder, const QString &baseUrl, const QString &listTitle);

} // namespace publish
