#include "core/modNengajo.h"

#include "platform/messagebox.h"
#include "platform/programfolder.h"
#include "platform/xmldocument.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <limits>

namespace {

using platform::xml::Node;

constexpr int MaxCount = std::numeric_limits<qint16>::max();

void showLoadError(const QString &text)
{
    platform::showMessage(modNengajo::MessageTitle, text, platform::MessageBox::Icon::Critical);
}

// Reads one top-level node's class elements into the class tables. k is the
// class opened last and runs on over the whole load. False on anything the
// data cannot hold.
bool readClasses(const Node &top, WinningData &data, int &k)
{
    const QList<Node> children = top.childNodes();
    if (children.size() > MaxCount)
        return false;
    const auto n = static_cast<qint16>(children.size());
    data.intClassCount = n;
    // Every row starts with slot 0 only and grows to the positions written
    // into it; past them a class reads as empty text. Growing every row with
    // the longest one would let a small file of many classes and many numbers
    // fill the memory (32767 x 32767 positions).
    data.Classes = QList<PrizeClass>(n + 1, PrizeClass {{}, QStringList(1), {}, 0});

    for (const Node &c : children) {
        if (!c.isElement())
            return false;
        const std::optional<QString> name = c.attribute(QStringLiteral("name"));
        if (name && !name->isEmpty()) {
            // A class element without a name opens no class: what it holds
            // goes to the class opened last (slot 0 before the first named one).
            if (++k > n)
                return false;
            data.Classes[k].strName = *name;
        }
        if (!c.hasChildNodes())
            continue;

        PrizeClass &prizeClass = data.Classes[k];
        const QList<Node> numbers = c.elementsByTagName(QStringLiteral("number"));
        if (numbers.size() > MaxCount)
            return false;
        if (prizeClass.strNumbers.size() <= numbers.size())
            prizeClass.strNumbers.resize(numbers.size() + 1);
        for (qsizetype i = 1; i <= numbers.size(); ++i)
            prizeClass.strNumbers[i] = numbers.at(i - 1).text();
        data.intMaxNumbers = std::max(data.intMaxNumbers, static_cast<qint16>(numbers.size()));

        for (const Node &syouhin : c.elementsByTagName(QStringLiteral("syouhin")))
            prizeClass.strSyouhin += syouhin.text() + modNengajo::CrLf;
        if (prizeClass.strSyouhin.endsWith(modNengajo::CrLf))
            prizeClass.strSyouhin.chop(modNengajo::CrLf.size());
    }
    return true;
}

// An xs:date attribute ("2026-01-19", a time zone allowed after it), or a
// null date when it is missing or names no day of the calendar.
QDate readDate(const Node &root, const QString &name)
{
    static const QRegularExpression xsDate(QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})(Z|[+-]\\d{2}:\\d{2})?$"));
    const QRegularExpressionMatch match = xsDate.match(root.attribute(name).value_or(QString()).trimmed());
    if (!match.hasMatch())
        return {};
    return QDate(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
}

} // namespace

bool modNengajo::ReadDataDocument(const platform::xml::Document &document, WinningData &data)
{
    const Node root = document.documentElement();
    if (root.isNull())
        return false;
    const std::optional<QString> type = root.attribute(QStringLiteral("type"));
    const std::optional<QString> year = root.attribute(QStringLiteral("year"));
    if (!type || !year)
        return false;
    data.strType = *type;
    data.strYear = *year;
    data.strUrl = root.attribute(QStringLiteral("url")).value_or(QString());
    data.drawDate = readDate(root, QStringLiteral("drawDate"));
    data.exchangeFrom = readDate(root, QStringLiteral("exchangeFrom"));
    data.exchangeTo = readDate(root, QStringLiteral("exchangeTo"));

    data.intMaxNumbers = 0;
    int k = 0;
    // A root without child nodes keeps the classes and hit counts in force.
    for (const Node &top : document.childNodes()) {
        if (top.hasChildNodes() && !readClasses(top, data, k))
            return false;
    }
    return true;
}

QString modNengajo::ValidateDataFile(const QString &dataPath, const QString &schemaPath)
{
    platform::xml::SchemaCache schemas;
    // A schema that cannot be read validates nothing; the parse still runs.
    schemas.add(SchemaNamespace, schemaPath);
    platform::xml::Document document;
    document.setValidateOnParse(true);
    document.setSchemas(&schemas);
    document.load(dataPath);

    const platform::xml::ParseError &error = document.parseError();
    if (error.errorCode == 0)
        return {};
    return QStringLiteral("[line:") + QString::number(error.line) + QStringLiteral(", pos:")
        + QString::number(error.linepos) + QStringLiteral("] ") + error.reason;
}

qint16 modNengajo::LoadDataFile(const QString &dataFileName, const QString &schemaFileName)
{
    WinningData &data = winningData();
    const QString dataPath = platform::dataFilePath(dataFileName);
    // The schema is always the program's own, whichever folder the file is in.
    const QString schemaPath = platform::programDataFolder() + schemaFileName;

    if (!QFileInfo(dataPath).isFile()) {
        showLoadError(
            QStringLiteral("当選番号データファイル\"") + data.strFileName + QStringLiteral("\"が見つかりません。"));
        return -1;
    }

    // Only a file is a schema: a folder of that name means there is none.
    if (QFileInfo(schemaPath).isFile()) {
        const QString description = ValidateDataFile(dataPath, schemaPath);
        if (!description.isEmpty()) {
            showLoadError(
                QStringLiteral("当選番号データファイルの記述にエラーがあります。") + CrLf + CrLf + description);
            return -1;
        }
    }

    platform::xml::Document document;
    document.setValidateOnParse(false);
    if (!document.load(dataPath)) {
        showLoadError(QStringLiteral("当選番号データファイルの読み込みに失敗しました"));
        return -1;
    }

    // Read into a copy and put it in force only when the whole file was read,
    // so a file the program cannot use never leaves half its data behind.
    WinningData next = data;
    if (!ReadDataDocument(document, next)) {
        showLoadError(QStringLiteral("当選番号データファイルの読み込みに失敗しました。"));
        return -1;
    }
    next.strFileName = data.strFileName;
    data = std::move(next);
    return 0;
}

qint16 modNengajo::ChooseDataFile(const QString &dataFileName)
{
    WinningData &data = winningData();
    const QString previous = data.strFileName;
    // The loader names the file in its messages by strFileName.
    data.strFileName = dataFileName;
    if (LoadDataFile(dataFileName, SchemaFileName) == -1) {
        // The loader has left the data in force untouched; loading the
        // previous file again would only zero its hit counts.
        data.strFileName = previous;
        return -1;
    }
    return 0;
}

bool modNengajo::ReadDataFile(const QString &dataFileName, WinningData &data)
{
    const QString dataPath = platform::dataFilePath(dataFileName);
    if (!QFileInfo(dataPath).isFile())
        return false;
    platform::xml::SchemaCache schemas;
    schemas.add(SchemaNamespace, platform::programDataFolder() + SchemaFileName);
    platform::xml::Document document;
    document.setValidateOnParse(true);
    document.setSchemas(&schemas);
    if (!document.load(dataPath))
        return false;
    WinningData read;
    if (!ReadDataDocument(document, read))
        return false;
    read.strFileName = dataFileName;
    data = std::move(read);
    return true;
}
