#include "core/DataInForce.h"
#include "core/DataFile.h"
#include "core/NewData.h"
#include "core/Settings.h"

#include "core/UserFiles.h"
#include "platform/http.h"
#include "platform/messagebox.h"
#include "platform/programfolder.h"
#include "platform/xmldocument.h"

#include <QFileInfo>
#include <QSet>

bool DataLoad::tell() const
{
    if (!message.isEmpty())
        platform::showMessage(modNengajo::MessageTitle, message, platform::MessageBox::Icon::Critical);
    return loaded();
}

DataLoad DataInForce::LoadDataFile(const QString &dataFileName, const QString &schemaFileName)
{
    DataLoad result = load(dataFileName, schemaFileName);
    if (result.loaded())
        emit changed();
    return result;
}

DataLoad DataInForce::loadAtStart(const QString &remembered)
{
    const QString name = remembered.isEmpty() ? modNengajo::DefaultFileName : remembered;
    // Only a bare name inside the data folder is a data file; anything that
    // leads out of it (a separator of any system, "..") is treated as a
    // missing file.
    DataLoad result {-1, {}};
    const bool bare = !name.contains(u'/') && !name.contains(u'\\') && name != QStringLiteral("..");
    if (bare && QFileInfo(UserFiles::dataFilePath(name)).isFile())
        result = load(name, modNengajo::SchemaFileName);
    if (!result.loaded())
        m_data.strFileName.clear();
    return result;
}

std::optional<bool> DataInForce::startUp()
{
    using platform::MessageBox;
    if (!platform::Service<platform::xml::XmlComponent>::get().isAvailable()) {
        platform::showMessage(modNengajo::MessageTitle,
            QStringLiteral("MSXML3.0が正しくインストールされていません。詳細はヘルプをご覧ください。"),
            MessageBox::Icon::Critical);
        return std::nullopt;
    }
    if (const QString unsaved = Settings::unsavedFileNameText(); !unsaved.isEmpty())
        platform::showMessage(modNengajo::MessageTitle, unsaved, MessageBox::Icon::Warning);
    return loadAtStart(Settings::fileName()).tell();
}

void DataInForce::setWinningData(WinningData data)
{
    m_data = std::move(data);
    emit changed();
}

DataLoad DataInForce::load(const QString &dataFileName, const QString &schemaFileName)
{
    const QString dataPath = UserFiles::dataFilePath(dataFileName);
    if (!QFileInfo(dataPath).isFile())
        return {-1, QStringLiteral("当選番号データファイル\"") + dataFileName + QStringLiteral("\"が見つかりません。")};

    // The schema is always the program's own, whichever folder the file is
    // in; only a file is a schema: a folder of that name means there is none.
    const QString schemaPath = platform::programDataFolder() + schemaFileName;
    const bool withSchema = QFileInfo(schemaPath).isFile();
    platform::xml::SchemaCache schemas;
    if (withSchema)
        schemas.add(modNengajo::SchemaNamespace, schemaPath);
    const modNengajo::ParsedDataFile parsed = modNengajo::ParseDataFile(dataPath, withSchema ? &schemas : nullptr);
    if (!parsed.document) {
        // Without a schema only a file that is not well-formed fails here.
        if (withSchema)
            return {-1,
                QStringLiteral("当選番号データファイルの記述にエラーがあります。") + modNengajo::CrLf + modNengajo::CrLf
                    + parsed.error};
        return {-1, QStringLiteral("当選番号データファイルの読み込みに失敗しました")};
    }

    // Read into a copy and put it in force only when the whole file was read,
    // so a file the program cannot use never leaves half its data behind. A
    // file without classes keeps the classes in force.
    WinningData next = m_data;
    if (!modNengajo::ReadDataDocument(*parsed.document, next))
        return {-1, QStringLiteral("当選番号データファイルの読み込みに失敗しました。")};
    next.strFileName = dataFileName;
    m_data = std::move(next);
    return {};
}

qint16 DataInForce::GetNewDataList(const platform::HttpResult &fetched, QStringList *duplicates)
{
    m_newDataList.clear();
    if (duplicates)
        duplicates->clear();
    platform::xml::Document document;
    document.setValidateOnParse(false);
    // A file the user has, downloaded or bundled, is not new, in any letter
    // case or composition (read once: a list may hold thousands of entries).
    QSet<QString> present;
    for (const QString &name : UserFiles::dataFileNames(QStringLiteral(".xml")))
        present.insert(modNengajo::DataTitleKey(name));
    const auto isPresent
        = [&present](const QString &fileName) { return present.contains(modNengajo::DataTitleKey(fileName)); };
    const qint16 result = fetched.ok && document.loadXml(fetched.body)
        ? modNengajo::ReadListDocument(document, isPresent, m_newDataList, duplicates)
        : -1;
    // Entries read before a failure are of no use to anyone.
    if (result < 0) {
        m_newDataList.clear();
        if (duplicates)
            duplicates->clear();
    }
    emit newDataListChanged();
    return result;
}
