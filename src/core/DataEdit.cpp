#include "core/DataEdit.h"

#include "core/DataFile.h"
#include "core/NewData.h"
#include "core/modNengajo.h"
#include "platform/webaddress.h"

#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamWriter>

#include <optional>

namespace {

using modNengajo::CrLf;

// The schema's limit on the card type.
constexpr int MaxTypeLength = 64;

enum class DateForm { Empty, Day, NotADate, NoSuchDay };

struct TypedDate
{
    DateForm form = DateForm::Empty;
    QDate date;
    int year = 0, month = 0, day = 0; // as typed, for the message about a day that does not exist
};

TypedDate readTypedDate(const QString &text)
{
    // Full-width digits and signs as the input method types them read as ASCII.
    const QString typed = text.normalized(QString::NormalizationForm_KC).trimmed();
    if (typed.isEmpty())
        return {};
    static const QRegularExpression form(QStringLiteral(
        "^([0-9]{4})\\s*[-/.年]\\s*([0-9]{1,2})\\s*[-/.月]\\s*([0-9]{1,2})\\s*日?\\s*(\\([月火水木金土日]\\))?$"));
    const QRegularExpressionMatch match = form.match(typed);
    if (!match.hasMatch())
        return {DateForm::NotADate, {}};
    TypedDate result {
        DateForm::Day, {}, match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt()};
    result.date = QDate(result.year, result.month, result.day);
    if (!result.date.isValid())
        result.form = DateForm::NoSuchDay;
    return result;
}

// The problem of a date field, if any.
std::optional<QString> dateProblem(const TypedDate &date)
{
    if (date.form == DateForm::NotADate)
        return QStringLiteral("日付は 2027/1/19 のように入力してください");
    if (date.form == DateForm::NoSuchDay)
        return QStringLiteral("%1年%2月%3日という日はありません").arg(date.year).arg(date.month).arg(date.day);
    return std::nullopt;
}

// The problem of one class's numbers on their own, if any.
std::optional<QString> numbersProblem(const QStringList &numbers)
{
    static const QRegularExpression winningNumber(QStringLiteral("^[0-9]{2,6}$"));
    for (const QString &number : numbers) {
        if (!winningNumber.match(number).hasMatch())
            return QStringLiteral("「%1」は当選番号になりません（半角数字2～6桁で入力してください）").arg(number);
    }
    for (const QString &number : numbers) {
        if (number.size() != numbers.first().size())
            return QStringLiteral("桁数の違う番号があります（１つの等級の番号はすべて同じ桁数です）");
    }
    QSet<QString> seen;
    for (const QString &number : numbers) {
        if (seen.contains(number))
            return QStringLiteral("「%1」が２回入力されています").arg(number);
        seen.insert(number);
    }
    return std::nullopt;
}

} // namespace

QDebug operator<<(QDebug debug, const DataEditInput &input)
{
    const auto list = [](const auto &texts) { return QStringList(texts.cbegin(), texts.cend()); };
    return modNengajo::debugFields(debug, "DataEditInput", input.strType, input.strEra, input.strYear,
        list(input.strNumbers), list(input.strSyouhin), input.strDrawDate, input.strExchangeFrom, input.strExchangeTo,
        input.strUrl);
}

QDebug operator<<(QDebug debug, DataEditField field)
{
    static const char *const names[] = {"Type", "Year", "Numbers1", "Numbers2", "Numbers3", "Numbers4", "Numbers5",
        "DrawDate", "ExchangeFrom", "ExchangeTo", "Url"};
    QDebugStateSaver saver(debug);
    debug.nospace() << "DataEditField::" << names[static_cast<int>(field)];
    return debug;
}

QDebug operator<<(QDebug debug, const DataEditProblem &problem)
{
    return modNengajo::debugFields(debug, "DataEditProblem", problem.field, problem.message);
}

QStringList modNengajo::SplitNumbers(const QString &text)
{
    static const QRegularExpression separators(QStringLiteral("[\\s\\x{3000},，、]+"));
    return text.split(separators, Qt::SkipEmptyParts);
}

QStringList modNengajo::SplitSyouhin(const QString &text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\\r\\n|\\r|\\n"));
    QStringList items = text.split(lineBreak);
    for (QString &item : items)
        item = item.trimmed();
    items.removeAll(QString());
    return items;
}

QDate modNengajo::ParseTypedDate(const QString &text)
{
    const TypedDate date = readTypedDate(text);
    return date.form == DateForm::Day ? date.date : QDate();
}

QList<DataEditProblem> modNengajo::CheckDataEdit(const DataEditInput &input)
{
    QList<DataEditProblem> problems;
    const auto report = [&problems](DataEditField field, const QString &message) { problems.append({field, message}); };

    const QString type = input.strType.trimmed();
    if (type.isEmpty())
        report(DataEditField::Type, QStringLiteral("はがきの種類を入力してください"));
    else if (type.size() > MaxTypeLength)
        report(DataEditField::Type, QStringLiteral("はがきの種類は%1文字までにしてください").arg(MaxTypeLength));
    else if (!IsSafeDataTitle(DataEditTitle(input)))
        report(DataEditField::Type,
            QStringLiteral("はがきの種類に使えない文字があります（/ \\ : * ? \" < > | や、先頭の「.」など）"));

    static const QRegularExpression yearDigits(QStringLiteral("^[1-9][0-9]?$"));
    const QString year = input.strYear.trimmed();
    if (year.isEmpty())
        report(DataEditField::Year, QStringLiteral("年を入力してください"));
    else if (!yearDigits.match(year).hasMatch())
        report(DataEditField::Year, QStringLiteral("年は1～99の半角数字で入力してください"));
    else if (input.strEra == EraHeisei && year.toInt() > 31)
        report(DataEditField::Year, QStringLiteral("平成は31年までです（2019年5月からは令和です）"));

    // Classes are numbered by their place: a class left empty before one that
    // has numbers would give the later class the wrong name.
    int lastWithNumbers = -1;
    for (int k = 0; k < DataEditInput::ClassCount; ++k) {
        if (!SplitNumbers(input.strNumbers[k]).isEmpty())
            lastWithNumbers = k;
    }
    for (int k = 0; k < DataEditInput::ClassCount; ++k) {
        const DataEditField field = numbersField(k);
        const QStringList numbers = SplitNumbers(input.strNumbers[k]);
        if (!numbers.isEmpty()) {
            if (const std::optional<QString> problem = numbersProblem(numbers))
                report(field, *problem);
        } else if (!SplitSyouhin(input.strSyouhin[k]).isEmpty()) {
            report(field, QStringLiteral("賞品があるのに当選番号がありません"));
        } else if (k < lastWithNumbers) {
            report(field, QStringLiteral("当選番号がありません（１等から順に入力してください）"));
        } else if (k == 0) {
            report(field, QStringLiteral("当選番号を入力してください"));
        }
    }

    const TypedDate drawn = readTypedDate(input.strDrawDate);
    const TypedDate from = readTypedDate(input.strExchangeFrom);
    const TypedDate to = readTypedDate(input.strExchangeTo);
    if (const std::optional<QString> problem = dateProblem(drawn))
        report(DataEditField::DrawDate, *problem);
    if (const std::optional<QString> problem = dateProblem(from))
        report(DataEditField::ExchangeFrom, *problem);
    else if (from.form == DateForm::Day && drawn.form == DateForm::Day && from.date < drawn.date)
        report(DataEditField::ExchangeFrom, QStringLiteral("引換の始まりが抽せん日より前になっています"));
    if (const std::optional<QString> problem = dateProblem(to))
        report(DataEditField::ExchangeTo, *problem);
    else if (to.form == DateForm::Day && from.form == DateForm::Day && to.date < from.date)
        report(DataEditField::ExchangeTo, QStringLiteral("引換の終わりが始まりより前になっています"));
    else if (to.form == DateForm::Day && drawn.form == DateForm::Day && to.date < drawn.date)
        report(DataEditField::ExchangeTo, QStringLiteral("引換の終わりが抽せん日より前になっています"));

    const QString url = input.strUrl.trimmed();
    if (!url.isEmpty() && !platform::isWebAddress(url))
        report(DataEditField::Url, QStringLiteral("http:// か https:// で始まるアドレスを入力してください"));
    else if (url.size() > MaxUrlLength)
        report(DataEditField::Url, QStringLiteral("アドレスは%1文字までにしてください").arg(MaxUrlLength));
    return problems;
}

QString modNengajo::DataEditYear(const DataEditInput &input)
{
    const QString year = input.strYear.trimmed();
    return input.strEra == EraHeisei ? year : input.strEra + year;
}

QString modNengajo::DataEditTitle(const DataEditInput &input)
{
    return input.strType.trimmed() + u'（' + input.strEra + input.strYear.trimmed() + QStringLiteral("年度版）");
}

QByteArray modNengajo::DataEditXml(const DataEditInput &input)
{
    const QString ns = SchemaNamespace;
    QByteArray bytes;
    QXmlStreamWriter writer(&bytes);
    writer.setAutoFormatting(true);
    writer.setAutoFormattingIndent(2);
    writer.writeStartDocument();
    writer.writeDefaultNamespace(ns);
    writer.writeStartElement(ns, QStringLiteral("tousen"));
    writer.writeAttribute(QStringLiteral("type"), input.strType.trimmed());
    writer.writeAttribute(QStringLiteral("year"), DataEditYear(input));
    const QString url = input.strUrl.trimmed();
    if (!url.isEmpty())
        writer.writeAttribute(QStringLiteral("url"), url);
    const auto writeDate = [&writer](const QString &name, const QString &typed) {
        const QDate date = ParseTypedDate(typed);
        if (date.isValid())
            writer.writeAttribute(name, date.toString(Qt::ISODate));
    };
    writeDate(QStringLiteral("drawDate"), input.strDrawDate);
    writeDate(QStringLiteral("exchangeFrom"), input.strExchangeFrom);
    writeDate(QStringLiteral("exchangeTo"), input.strExchangeTo);

    for (int k = 0; k < DataEditInput::ClassCount; ++k) {
        const QStringList numbers = SplitNumbers(input.strNumbers[k]);
        if (numbers.isEmpty())
            continue;
        writer.writeStartElement(ns, QStringLiteral("toukyu"));
        writer.writeAttribute(QStringLiteral("name"), QString::number(k + 1) + u'等');
        for (const QString &number : numbers)
            writer.writeTextElement(ns, QStringLiteral("number"), number);
        for (const QString &item : SplitSyouhin(input.strSyouhin[k]))
            writer.writeTextElement(ns, QStringLiteral("syouhin"), item);
        writer.writeEndElement();
    }
    writer.writeEndElement();
    writer.writeEndDocument();
    return bytes;
}

DataEditInput modNengajo::DataEditFrom(const WinningData &data, bool everything)
{
    DataEditInput input;
    input.strType = data.strType;
    static const QRegularExpression eraYear(QStringLiteral("^(令和|平成)?([0-9]+)$"));
    const QRegularExpressionMatch match = eraYear.match(data.strYear);
    // A year of another era cannot be entered here: the user types it anew.
    input.strEra = match.hasMatch() && match.captured(1) != EraReiwa ? EraHeisei : EraReiwa;
    input.strYear = match.hasMatch() ? match.captured(2) : QString();

    const int classes = std::min<int>(data.intClassCount, DataEditInput::ClassCount);
    for (int k = 0; k < classes; ++k) {
        const PrizeClass &prizeClass = data.prizeClass(k + 1);
        input.strSyouhin[k] = prizeClass.strSyouhin.split(CrLf).join(u'\n');
        if (!everything)
            continue;
        QStringList numbers;
        for (int j = 1; !prizeClass.number(j).isEmpty(); ++j)
            numbers.append(prizeClass.number(j));
        input.strNumbers[k] = numbers.join(u' ');
    }
    if (everything) {
        const auto typed = [](const QDate &date) { return date.isValid() ? date.toString(u"yyyy/M/d") : QString(); };
        input.strDrawDate = typed(data.drawDate);
        input.strExchangeFrom = typed(data.exchangeFrom);
        input.strExchangeTo = typed(data.exchangeTo);
        input.strUrl = data.strUrl;
    }
    return input;
}

std::array<int, DataEditInput::ClassCount> modNengajo::DigitCounts(const WinningData &data)
{
    std::array<int, DataEditInput::ClassCount> counts {};
    const int classes = std::min<int>(data.intClassCount, DataEditInput::ClassCount);
    for (int k = 0; k < classes; ++k)
        counts[k] = static_cast<int>(data.prizeClass(k + 1).number(1).size());
    return counts;
}

DataEditStart modNengajo::DataEditStartOf(const WinningData &data)
{
    DataEditStart start;
    start.digits = DigitCounts(data);
    const DataEditInput structure = DataEditFrom(data, false);
    for (int k = 0; k < DataEditInput::ClassCount; ++k)
        start.goods[k] = SplitSyouhin(structure.strSyouhin[k]);
    return start;
}

std::array<int, DataEditInput::ClassCount> modNengajo::ChangedDigitCounts(
    const DataEditInput &input, const DataEditStart &start)
{
    std::array<int, DataEditInput::ClassCount> changed {};
    for (int k = 0; k < DataEditInput::ClassCount; ++k) {
        const QStringList numbers = SplitNumbers(input.strNumbers[k]);
        if (!numbers.isEmpty() && start.digits[k] != 0 && numbers.first().size() != start.digits[k])
            changed[k] = start.digits[k];
    }
    return changed;
}

Outcome<> modNengajo::WriteDataFile(const QString &folder, const QString &title, const QByteArray &xml)
{
    const Outcome<DataStored> stored = StoreDataFile(folder, title, xml);
    switch (stored.code) {
    case DataStored::Stored:
        return {};
    case DataStored::NotADataFile:
        return {Ended::Failed,
            QStringLiteral("当選番号データに誤りがあるため保存しませんでした。") + CrLf + CrLf + stored.words};
    case DataStored::NotWritten:
        break;
    }
    // The writer's words when it got as far as writing; else the folder is the matter.
    const QString reason
        = stored.words.isEmpty() ? QStringLiteral("保存先のフォルダーに書き込めるか確かめてください。") : stored.words;
    return {
        Ended::Failed, QStringLiteral("当選番号データを保存できませんでした。") + CrLf + reason + CrLf + CrLf + folder};
}
