#include "publish/SitePublisher.h"

#include "core/NewData.h"
#include "core/modNengajo.h"
#include "platform/webaddress.h"
#include "platform/xmldocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>
#include <QXmlStreamWriter>

namespace {

bool writeWhole(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

QByteArray listDocument(const QString &listTitle, const QString &baseUrl, const QStringList &fileNames)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("opml"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("2.0"));
    xml.writeStartElement(QStringLiteral("head"));
    xml.writeTextElement(QStringLiteral("title"), listTitle);
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("body"));
    for (const QString &name : fileNames) {
        const QString title = name.chopped(4);
        xml.writeEmptyElement(QStringLiteral("outline"));
        xml.writeAttribute(QStringLiteral("text"), title);
        xml.writeAttribute(QStringLiteral("title"), title);
        xml.writeAttribute(QStringLiteral("xmlUrl"),
            baseUrl + QStringLiteral("/gajo/") + QString::fromLatin1(QUrl::toPercentEncoding(name)));
    }
    xml.writeEndDocument();
    return bytes;
}

} // namespace

publish::Outcome publish::publishSite(
    const QString &dataFolder, const QString &siteFolder, const QString &baseUrl, const QString &listTitle)
{
    Outcome outcome;
    const QUrl base(baseUrl, QUrl::StrictMode);
    // The download command fetches the list and the files below this address.
    if (!platform::isWebAddress(baseUrl) || base.hasQuery() || base.hasFragment()) {
        outcome.error = QStringLiteral("not an http or https address for the site: ") + baseUrl;
        return outcome;
    }
    QString root = baseUrl;
    while (root.endsWith(u'/'))
        root.chop(1);

    const QDir data(dataFolder);
    if (!data.exists()) {
        outcome.error = QStringLiteral("no data folder: ") + dataFolder;
        return outcome;
    }
    // Without the schema every file would pass; publish nothing unchecked.
    const QString schemaPath = data.filePath(modNengajo::SchemaFileName);
    {
        platform::xml::SchemaCache schemas;
        if (!schemas.add(modNengajo::SchemaNamespace, schemaPath)) {
            outcome.error = QStringLiteral("the schema cannot be read or compiled: ") + schemaPath;
            return outcome;
        }
    }

    const QString gajoPath = QDir(siteFolder).filePath(QStringLiteral("gajo"));
    if (!QDir().mkpath(gajoPath)) {
        outcome.error = QStringLiteral("cannot create the folder ") + gajoPath;
        return outcome;
    }

    // The same files the card-type dialog lists: "*.xml" in lower case, sorted by name.
    const QStringList names = data.entryList({QStringLiteral("*.xml")}, QDir::Files | QDir::CaseSensitive, QDir::Name);
    const QString listFileName = QFileInfo(ListPath).fileName();
    for (const QString &name : names) {
        // Its copy would be overwritten by the list itself, and a download of
        // that entry would store the list as a data file. Web servers on some
        // file systems ignore letter case, so "LIST.xml" is refused as well.
        if (name.compare(listFileName, Qt::CaseInsensitive) == 0) {
            outcome.refused.append({name, QStringLiteral("the name is that of the list document")});
            continue;
        }
        if (!modNengajo::IsSafeDataTitle(name.chopped(4))) {
            outcome.refused.append({name, QStringLiteral("the name is no plain file name the program accepts")});
            continue;
        }
        const QString path = data.filePath(name);
        const QString reason = modNengajo::ValidateDataFile(path, schemaPath);
        if (!reason.isEmpty()) {
            outcome.refused.append({name, reason});
            continue;
        }
        QFile source(path);
        if (!source.open(QIODevice::ReadOnly) || !writeWhole(QDir(gajoPath).filePath(name), source.readAll())) {
            outcome.refused.append({name, QStringLiteral("cannot be copied into the site")});
            continue;
        }
        outcome.published.append(name);
    }

    if (!writeWhole(QDir(siteFolder).filePath(ListPath), listDocument(listTitle, root, outcome.published))) {
        outcome.error = QStringLiteral("cannot write ") + QDir(siteFolder).filePath(ListPath);
        return outcome;
    }
    outcome.ok = true;
    return outcome;
}
