#include "core/DataFile.h"
#include "core/NewData.h"
#include "core/modNengajo.h"

#include "core/FileErrorText.h"
#include "core/UserFiles.h"
#include "platform/programfolder.h"
#include "platform/xmldocument.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <limits>

namespace {

using platform::xml::Node;

constexpr int MaxCount = std::numeric_limits<qint16>::max();

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
    data.Classes = QList<PrizeClass>(n + 1, PrizeClass {{}, QStringList(1), {}});

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

QString describe(const platform::xml::ParseError &error)
{
    return QStringLiteral("[line:") + QString::number(error.line) + QStringLiteral(", pos:")
        + QString::number(error.linepos) + QStringLiteral("] ") + modNengajo::ParseErrorText(error);
}

// Whether a class of the document holds more winning numbers than a class
// may (the schema's limit, as many as the program counts).
bool tooManyNumbers(const QByteArray &bytes)
{
    platform::xml::Document document;
    document.setValidateOnParse(false);
    if (!document.loadXml(bytes))
        return false;
    const QList<Node> classes = document.documentElement().childNodes();
    return std::any_of(classes.cbegin(), classes.cend(),
        [](const Node &c) { return c.elementsByTagName(QStringLiteral("number")).size() > MaxCount; });
}

// The card type and year stand in the main window's caption and in every
// list as the file holds them: a character that turns the text around or
// breaks it in two would make them read otherwise. Empty when they are plain.
QString typeYearProblem(const platform::xml::Document &document)
{
    const Node root = document.documentElement();
    if (root.isNull())
        return {};
    for (const QString &name : {QStringLiteral("type"), QStringLiteral("year")}) {
        if (!modNengajo::IsOneLineText(root.attribute(name).value_or(QString())))
            return describe({1, 0, 0,
                QStringLiteral(
                    "はがきの種類か年に、改行や文字の向きを変える制御文字など、表示できない文字があります。"),
                platform::xml::ParseError::Kind::Parse, {}, {}});
    }
    return {};
}

// One parse of a data file from wherever load takes it.
template <typename Load> modNengajo::ParsedDataFile parse(const Load &load, const platform::xml::SchemaCache *schemas)
{
    modNengajo::ParsedDataFile parsed;
    parsed.document = std::make_unique<platform::xml::Document>();
    parsed.document->setValidateOnParse(schemas != nullptr);
    parsed.document->setSchemas(schemas);
    load(*parsed.document);
    const platform::xml::ParseError &error = parsed.document->parseError();
    parsed.error = error.errorCode != 0 ? describe(error) : typeYearProblem(*parsed.document);
    if (!parsed.error.isEmpty())
        parsed.document.reset();
    return parsed;
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
    if (data.strUrl.size() > MaxUrlLength)
        return false;
    data.drawDate = readDate(root, QStringLiteral("drawDate"));
    data.exchangeFrom = readDate(root, QStringLiteral("exchangeFrom"));
    data.exchangeTo = readDate(root, QStringLiteral("exchangeTo"));

    data.intMaxNumbers = 0;
    int k = 0;
    // A root without child nodes keeps the classes in force.
    for (const Node &top : document.childNodes()) {
        if (top.hasChildNodes() && !readClasses(top, data, k))
            return false;
    }
    return true;
}

std::unique_ptr<platform::xml::SchemaCache> modNengajo::ProgramSchema()
{
    auto schemas = std::make_unique<platform::xml::SchemaCache>();
    schemas->add(SchemaNamespace, platform::programDataFolder() + SchemaFileName);
    return schemas;
}

modNengajo::ParsedDataFile modNengajo::ParseDataFile(const QString &path, const platform::xml::SchemaCache *schemas)
{
    return parse([&path](platform::xml::Document &document) { return document.load(path); }, schemas);
}

QString modNengajo::ParseErrorText(const platform::xml::ParseError &error)
{
    using Kind = platform::xml::ParseError::Kind;
    const QString path = error.path;
    switch (error.kind) {
    case Kind::None:
        return {};
    case Kind::Parse:
        return error.reason;
    case Kind::Missing:
        return QStringLiteral("ファイル \"%1\" が見つかりません。").arg(path);
    case Kind::NotAFile:
        return QStringLiteral("\"%1\" はファイルではありません。").arg(path);
    case Kind::CannotRead:
        return QStringLiteral("ファイル \"%1\" を読み込めません。%2。").arg(path, FileErrorText::text(error.read));
    case Kind::TooLarge:
        return QStringLiteral("ファイルが大きすぎます（%1バイトまで）。").arg(platform::xml::MaxDocumentBytes);
    case Kind::NoParser:
        return QStringLiteral("XMLを読み取る準備ができませんでした（メモリーが足りない可能性があります）。");
    case Kind::NotRead:
        return QStringLiteral("XMLとして読み取れませんでした。");
    }
    return {};
}

QString modNengajo::CheckDataBytes(const QByteArray &bytes)
{
    const ParsedDataFile parsed
        = parse([&bytes](platform::xml::Document &document) { return document.loadXml(bytes); }, ProgramSchema().get());
    // The schema's own words for a class of too many numbers name only an
    // element that is not expected: say what is wrong, at its place.
    if (!parsed.document && parsed.error.contains(QStringLiteral("This element is not expected"))
        && tooManyNumbers(bytes))
        return parsed.error.left(parsed.error.indexOf(u']') + 2)
            + QStringLiteral("１つの等級の当選番号が多すぎます（%1個まで）。").arg(MaxCount);
    if (!parsed.document)
        return parsed.error;
    // What the loader would stop at: the program would end on choosing it.
    WinningData read;
    if (!ReadDataDocument(*parsed.document, read))
        return QStringLiteral("当選番号データとして読めない内容があります（等級の間のコメントや文字など）");
    return {};
}

QString modNengajo::ValidateDataFile(const QString &dataPath, const QString &schemaPath)
{
    platform::xml::SchemaCache schemas;
    // A schema that cannot be read validates nothing; the parse still runs.
    schemas.add(SchemaNamespace, schemaPath);
    return ParseDataFile(dataPath, &schemas).error;
}

bool modNengajo::ReadDataFile(const QString &dataFileName, WinningData &data)
{
    const QString dataPath = UserFiles::dataFilePath(dataFileName);
    if (!QFileInfo(dataPath).isFile())
        return false;
    const ParsedDataFile parsed = ParseDataFile(dataPath, ProgramSchema().get());
    WinningData read;
    if (!parsed.document || !ReadDataDocument(*parsed.document, read))
        return false;
    read.strFileName = dataFileName;
    data = std::move(read);
    return true;
}
