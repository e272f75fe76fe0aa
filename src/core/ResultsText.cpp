#include "core/ResultsText.h"

#include "core/AtariList.h"

#include <QDate>
#include <QRegularExpression>

#include <optional>

namespace {

using modNengajo::EraHeisei;
using modNengajo::EraReiwa;

constexpr int ClassCount = DataEditInput::ClassCount;
// More numbers than any draw had in one class: the text is no table of results.
constexpr int MaxNumbersPerClass = 20;
constexpr int MaxGoodsPerClass = 10;
// Longer than any prize's name: a sentence about it, not its name.
constexpr int MaxGoodsLength = 80;

// The words of a cell, leftmost first; at one place the first alternative
// that fits. Dates, years, counts, prices and odds come before the numbers, so
// their digits are never read as a winning number. Every repetition is
// possessive and every run of digits starts only where the run starts, so a
// line of any length is read in one pass.
const QRegularExpression &wordPattern()
{
    static const QRegularExpression pattern(QStringLiteral(
        "(?<url>(?:https?|ftp)://[^\\s|]++|www\\.[^\\s|]++)"
        "|(?<date>(?<![0-9])(?:(?:(?<dateEra>令和|平成)\\h*+(?<dateEraYear>[0-9]{1,2}|元)|(?<dateYear>[0-9]{4}))"
        "\\h*+年\\h*+)?(?<month>[0-9]{1,2})\\h*+月\\h*+(?<day>[0-9]{1,2})\\h*+日"
        "|(?<![0-9])(?<slashYear>[0-9]{4})/(?<slashMonth>[0-9]{1,2})/(?<slashDay>[0-9]{1,2})(?![0-9]))"
        "|(?<eraYear>(?<era>令和|平成)\\h*+(?<eraNumber>[0-9]{1,2}|元)\\h*+年)"
        "|(?<westernYear>(?<![0-9])(?<western>[0-9]{4})\\h*+年)"
        "|(?<special>特別賞|特等|(?<![0-9])[6-9]\\h*+等級?)"
        "|(?<klass>(?<![0-9])(?<k>[1-5])\\h*+等級?)"
        "|(?<digits>(?:(?:下|末尾)\\h*+)?(?<![0-9])(?<n>[1-9])\\h*+(?:桁|けた|ケタ))"
        "|(?<draw>抽(?:せん|選)(?:日|会)?)"
        "|(?<exchange>(?:引き?換え?|交換)(?:期間|(?<until>期限))?)"
        "|(?<other>問い?合わ?せ|電話|TEL|フリーダイヤル)"
        "|(?<quantity>(?<![0-9,.])(?:[0-9]{1,3}(?:,[0-9]{3})++(?![0-9])"
        "|[0-9][0-9,.]*+(?:万|億|千|百|本|円|点|枚|名|人|倍|%|年|度|月|日|時|分|秒|組|回|件|口|個|歳|才|位|号|週|種|冊|"
        "通|部"
        "|等|[ヶかカケ]月|番目|桁|けた|ケタ)"
        "|[0-9][0-9,]*+(?:[/:.\\-][0-9][0-9,]*+)++)"
        "|[¥$#\\\\][0-9,]++|第\\h*+[0-9]++|No\\.?\\h*+[0-9]++)"
        "|(?<spaced>(?<![0-9A-Za-z/.:\\-_,])(?<![0-9] )[0-9](?: [0-9])++(?![0-9A-Za-z/:\\-_])(?!\\h*+等))"
        "|(?<number>(?<![0-9A-Za-z/.:\\-_])[0-9]++(?![0-9A-Za-z/:\\-_]|\\.[0-9]))"));
    return pattern;
}

// The group numbers of wordPattern, looked up once.
struct Groups
{
    int url, date, dateEra, dateEraYear, dateYear, month, day, slashYear, slashMonth, slashDay, eraYear, era, eraNumber,
        westernYear, western, special, klass, k, digits, n, draw, exchange, until, other, quantity, spaced, number;
};

const Groups &groups()
{
    static const Groups found = [] {
        const QStringList names = wordPattern().namedCaptureGroups();
        const auto at = [&names](const char *name) { return int(names.indexOf(QLatin1String(name))); };
        return Groups {at("url"), at("date"), at("dateEra"), at("dateEraYear"), at("dateYear"), at("month"), at("day"),
            at("slashYear"), at("slashMonth"), at("slashDay"), at("eraYear"), at("era"), at("eraNumber"),
            at("westernYear"), at("western"), at("special"), at("klass"), at("k"), at("digits"), at("n"), at("draw"),
            at("exchange"), at("until"), at("other"), at("quantity"), at("spaced"), at("number")};
    }();
    return found;
}

// A year of an era as written ("元" is its first).
int eraNumber(const QString &number)
{
    return number == u'元' ? 1 : number.toInt();
}

// The western year of a year of an era.
int westernYear(const QString &era, int year)
{
    return year + (era == EraReiwa ? 2018 : 1988);
}

// The era and year of the cards drawn in January of a western year.
std::optional<std::pair<QString, int>> eraOf(int western)
{
    if (western >= 2020)
        return std::pair {EraReiwa, western - 2018};
    if (western >= 1990)
        return std::pair {EraHeisei, western - 1988};
    return std::nullopt;
}

// The western year of the year the editor holds, or 0 when it holds none
// it would take (1 to 99): a year of a file, or one typed, may be any digits.
int typedDrawYear(const DataEditInput &current)
{
    bool ok = false;
    const int year = current.strYear.trimmed().toInt(&ok);
    return ok && year >= 1 && year <= 99 ? westernYear(current.strEra, year) : 0;
}

struct Number
{
    QString digits;
    bool spaced = false; // written digit by digit: may be several numbers of a short class
};

struct ClassRead
{
    QList<Number> numbers; // in the order of the text, each once
    bool tooMany = false;
    int statedDigits = 0; // the 下N桁 the text says of the class; 0 for none
    QStringList goods;
};

// Where the text names a day, or what a day is.
struct Mark
{
    enum Kind { Draw, Exchange, ExchangeEnd, Day } kind;
    int line;
    int year = 0; // 0 when the text names only the month and day
    int month = 0;
    int day = 0;
    bool until = false; // "まで" follows the day
};

// A piece of a cell that may name a class's goods.
QStringList goodsItems(const QString &text)
{
    static const QRegularExpression separator(QStringLiteral("\\h+/\\h+|\\h{2,}"));
    static const QRegularExpression noise(
        QStringLiteral("\\([^()]{0,40}(?:本|各組|共通|桁|けた|ケタ)[^()]{0,40}\\)|各組共通|当[せ選]ん?番号|\\(\\h*\\)|"
                       "「\\h*」|【\\h*】|\\[\\h*\\]"));
    static const QRegularExpression ends(
        QStringLiteral("^[\\s:、,。.・~〜\\-*]+|(?:です|でした|となります)?[\\s:、,。.・~〜\\-*]*$"));
    static const QRegularExpression goodsWord(
        QStringLiteral("現金|円|切手|小包|ギフト|カタログ|シート|マネー|商品券|旅行|家電|特産|ポイント|記念品|セット"));
    // "1等（賞品：現金30万円など）": what follows the word.
    static const QRegularExpression named(QStringLiteral("(?:賞品|商品)\\h*+(?:は|:)\\h*+([^()。]+)"));
    QStringList items;
    // A cell this long holds a sentence or rubbish, not the name of a prize.
    if (text.size() > 16 * MaxGoodsLength)
        return items;
    for (QString item : text.split(separator, Qt::SkipEmptyParts)) {
        if (const QRegularExpressionMatch prize = named.match(item); prize.hasMatch())
            item = prize.captured(1);
        item.remove(noise);
        item.remove(ends);
        item = item.simplified();
        if (item.isEmpty() || item.size() > MaxGoodsLength || !goodsWord.match(item).hasMatch() || item.contains(u'。'))
            continue;
        // Brackets full-width, as the bundled files write goods; NFKC made them ASCII.
        items.append(item.replace(u'(', u'（').replace(u')', u'）'));
    }
    return items;
}

class Reader
{
public:
    explicit Reader(const QString &text)
    {
        static const QRegularExpression cellSeparator(QStringLiteral("[\\t|]"));
        static const QRegularExpression classInLine(QStringLiteral("[0-9]\\h*等|特別賞|特等"));
        static const QRegularExpression countHeader(QStringLiteral("本数|枚数|確率|人数|金額"));
        int line = 0;
        for (const QString &lineText : text.split(u'\n')) {
            if (m_stopped)
                break;
            const QStringList cells = lineText.split(cellSeparator);
            // A table's heading names its columns: counts there are never numbers.
            if (cells.size() >= 2 && !classInLine.match(lineText).hasMatch()) {
                QList<int> counts;
                for (int c = 0; c < cells.size(); ++c) {
                    if (countHeader.match(cells.at(c)).hasMatch())
                        counts.append(c);
                }
                if (!counts.isEmpty()) {
                    m_countColumns = counts;
                    ++line;
                    continue;
                }
            }
            for (int c = 0; c < cells.size() && !m_stopped; ++c)
                readCell(cells.at(c), line, cells.size() >= 2 && m_countColumns.contains(c));
            ++line;
        }
    }

    ResultsRead amend(const DataEditInput &current) const;

private:
    void readCell(const QString &cell, int line, bool countColumn);
    void switchTo(int current, QString &pending);
    void addNumber(const QString &digits, bool spaced);
    void sayYear(const QString &era, int year, bool strong);
    std::optional<QDate> dayOf(const Mark &mark, int &lastYear, int &lastMonth, int drawYear) const;

    std::array<ClassRead, ClassCount> m_classes;
    // The class the words belong to: -1 none, -2 a class the file cannot hold.
    int m_current = -1;
    QStringList m_leftOut;
    QList<Mark> m_marks;
    QList<int> m_countColumns;
    // The year of the draw as the text says it; strong when it says the
    // cards' year ("令和8年用", "2026年度版"), not only a year.
    QString m_era;
    int m_year = 0;
    bool m_strongYear = false;
    bool m_anyNumbers = false;
    // The text went on to another draw.
    bool m_stopped = false;
};

void Reader::switchTo(int current, QString &pending)
{
    if (m_current >= 0) {
        ClassRead &read = m_classes.at(m_current);
        for (const QString &item : goodsItems(pending)) {
            if (read.goods.size() < MaxGoodsPerClass && !read.goods.contains(item))
                read.goods.append(item);
        }
    }
    pending.clear();
    m_current = current;
}

void Reader::addNumber(const QString &digits, bool spaced)
{
    if (m_current < 0 || digits.size() < 2)
        return;
    ClassRead &read = m_classes.at(m_current);
    // A long run of digits is a code or a telephone number, unless written
    // digit by digit, as several numbers of a class of fewer digits.
    if (digits.size() > 6 && !spaced)
        return;
    for (const Number &number : std::as_const(read.numbers)) {
        if (number.digits == digits)
            return;
    }
    if (read.numbers.size() >= MaxNumbersPerClass) {
        read.tooMany = true;
        return;
    }
    read.numbers.append({digits, spaced});
    m_anyNumbers = true;
}

void Reader::sayYear(const QString &era, int year, bool strong)
{
    if (m_anyNumbers) {
        // Past the results, the cards of another year: the results of another draw.
        if (strong && (era != m_era || year != m_year))
            m_stopped = true;
        return;
    }
    if (m_year == 0 || (strong && !m_strongYear)) {
        m_era = era;
        m_year = year;
        m_strongYear = strong;
    }
}

void Reader::readCell(const QString &cell, int line, bool countColumn)
{
    static const QRegularExpression cardsYear(QStringLiteral("\\h*+\\)?\\h*+(?:用|度|版|お年玉|年賀)"));
    static const QRegularExpression issued(QStringLiteral("\\h*+(?:発行|発売)"));
    static const QRegularExpression until(QStringLiteral("\\h*+(?:\\([^)]{1,3}\\)\\h*+)?まで"));
    static const QRegularExpression blank(QStringLiteral("\\h"));
    // Whether the words right after the word are those of what.
    const auto followedBy = [&cell](const QRegularExpression &what, const QRegularExpressionMatch &word) {
        return what
            .match(cell, word.capturedEnd(), QRegularExpression::NormalMatch,
                QRegularExpression::AnchorAtOffsetMatchOption)
            .hasMatch();
    };
    const Groups &g = groups();
    QString pending;
    qsizetype at = 0;
    for (QRegularExpressionMatchIterator words = wordPattern().globalMatch(cell); words.hasNext();) {
        const QRegularExpressionMatch word = words.next();
        pending += QStringView(cell).mid(at, word.capturedStart() - at);
        at = word.capturedEnd();
        const auto has = [&word](int group) { return word.capturedStart(group) >= 0; };
        if (has(g.date)) {
            Mark day {Mark::Day, line};
            if (has(g.slashYear)) {
                day.year = word.captured(g.slashYear).toInt();
                day.month = word.captured(g.slashMonth).toInt();
                day.day = word.captured(g.slashDay).toInt();
            } else {
                if (has(g.dateEra))
                    day.year = westernYear(word.captured(g.dateEra), eraNumber(word.captured(g.dateEraYear)));
                else if (has(g.dateYear))
                    day.year = word.captured(g.dateYear).toInt();
                day.month = word.captured(g.month).toInt();
                day.day = word.captured(g.day).toInt();
            }
            day.until = followedBy(until, word);
            m_marks.append(day);
            pending += word.capturedView();
        } else if (has(g.eraYear) || has(g.westernYear)) {
            if (!followedBy(issued, word)) {
                const bool strong = followedBy(cardsYear, word);
                if (has(g.eraYear)) {
                    sayYear(word.captured(g.era), eraNumber(word.captured(g.eraNumber)), strong);
                } else if (strong) {
                    if (const auto era = eraOf(word.captured(g.western).toInt()))
                        sayYear(era->first, era->second, strong);
                }
            }
            pending += word.capturedView();
        } else if (has(g.special)) {
            // Without its blanks, of whatever kind: one name however it is spaced.
            const QString name = word.captured(g.special).remove(blank);
            if (!m_leftOut.contains(name))
                m_leftOut.append(name);
            switchTo(-2, pending);
        } else if (has(g.klass)) {
            switchTo(word.captured(g.k).toInt() - 1, pending);
        } else if (has(g.digits)) {
            if (m_current >= 0) {
                ClassRead &read = m_classes.at(m_current);
                if (read.statedDigits == 0)
                    read.statedDigits = word.captured(g.n).toInt();
            }
        } else if (has(g.draw) || has(g.exchange) || has(g.other)) {
            if (has(g.draw))
                m_marks.append({Mark::Draw, line});
            else if (has(g.exchange))
                m_marks.append({has(g.until) ? Mark::ExchangeEnd : Mark::Exchange, line});
            switchTo(-1, pending);
        } else if (has(g.spaced) || has(g.number)) {
            if (!countColumn) {
                const bool spaced = has(g.spaced);
                addNumber(spaced ? word.captured(g.spaced).remove(u' ') : word.captured(g.number), spaced);
            }
            pending += u' ';
        } else if (has(g.quantity)) {
            pending += word.capturedView();
        } else {
            pending += u' '; // an address
        }
    }
    pending += QStringView(cell).mid(at);
    if (countColumn)
        pending.clear();
    // Goods of a class end with their cell.
    const int current = m_current;
    switchTo(current, pending);
}

std::optional<QDate> Reader::dayOf(const Mark &mark, int &lastYear, int &lastMonth, int drawYear) const
{
    int year = mark.year;
    if (year == 0) {
        // A day without its year follows one with it: 1月20日～7月21日; or is the draw's.
        year = lastYear != 0 ? lastYear + (mark.month < lastMonth ? 1 : 0) : drawYear;
    }
    if (year == 0)
        return std::nullopt;
    const QDate date(year, mark.month, mark.day);
    if (!date.isValid())
        return std::nullopt;
    lastYear = year;
    lastMonth = mark.month;
    return date;
}

ResultsRead Reader::amend(const DataEditInput &current) const
{
    ResultsRead read {current, {}, {}, {}, m_leftOut, false};
    const bool anyClass = std::any_of(m_classes.cbegin(), m_classes.cend(),
        [](const ClassRead &classRead) { return !classRead.numbers.isEmpty() || classRead.tooMany; });
    if (!anyClass)
        return read;

    DataEditInput &input = read.input;
    for (int k = 0; k < ClassCount; ++k) {
        const ClassRead &classRead = m_classes.at(k);
        if (classRead.numbers.isEmpty() && !classRead.tooMany)
            continue;
        const DataEditField field = numbersField(k);
        read.changed.append(field);
        input.strNumbers[k].clear();
        const auto refuse = [&](const QString &message) { read.problems.append({field, message}); };
        if (classRead.tooMany) {
            refuse(QStringLiteral("番号が%1より多いため、読み取りませんでした（当選番号の表か確かめてください）")
                       .arg(MaxNumbersPerClass));
            continue;
        }
        const int stated = classRead.statedDigits;
        QStringList numbers;
        for (const Number &number : classRead.numbers) {
            // Digits spaced out one by one: several numbers of the stated length.
            if (number.spaced && stated > 0 && number.digits.size() > stated && number.digits.size() % stated == 0) {
                for (qsizetype i = 0; i < number.digits.size(); i += stated)
                    numbers.append(number.digits.mid(i, stated));
            } else {
                numbers.append(number.digits);
            }
        }
        numbers.removeDuplicates();
        const auto disagreeing = std::find_if(numbers.cbegin(), numbers.cend(),
            [&](const QString &number) { return number.size() > 6 || (stated > 0 && number.size() != stated); });
        if (disagreeing != numbers.cend()) {
            const QString count = stated >= 6 ? QStringLiteral("6桁") : QStringLiteral("下%1桁").arg(stated);
            refuse(stated > 0
                    ? QStringLiteral("%1とありますが「%2」は%3桁のため、読み取りませんでした")
                          .arg(count, *disagreeing)
                          .arg(disagreeing->size())
                    : QStringLiteral("「%1」は当選番号の桁数でないため、読み取りませんでした").arg(*disagreeing));
            continue;
        }
        const bool sameLength = std::all_of(numbers.cbegin(), numbers.cend(),
            [&numbers](const QString &number) { return number.size() == numbers.first().size(); });
        if (!sameLength) {
            refuse(QStringLiteral("桁数の違う番号（%1）があるため、読み取りませんでした").arg(numbers.join(u'、')));
            continue;
        }
        input.strNumbers[k] = numbers.join(u' ');
        read.taken[k] = true;
        if (!classRead.goods.isEmpty())
            input.strSyouhin[k] = classRead.goods.join(u'\n');
    }

    // The year: the cards' year as the text says it, else that of the day of the draw.
    QString era = m_era;
    int year = m_year;
    std::optional<QDate> drawDate;
    std::optional<QDate> exchangeFrom;
    std::optional<QDate> exchangeTo;
    int lastYear = 0;
    int lastMonth = 0;
    // A day named without its year is in the year of the draw.
    int drawYear = year != 0 ? westernYear(era, year) : 0;
    if (drawYear == 0)
        drawYear = typedDrawYear(current);
    for (qsizetype i = 0; i < m_marks.size(); ++i) {
        const Mark &mark = m_marks.at(i);
        if (mark.kind == Mark::Day || (mark.kind == Mark::Draw && drawDate))
            continue;
        if (mark.kind != Mark::Draw && (exchangeFrom || exchangeTo))
            continue;
        // The days of this mark: after it on its line or the next two, up to the next mark;
        // for the draw also the day before it on its line ("1月19日に抽せん").
        QList<Mark> days;
        for (qsizetype j = i + 1; j < m_marks.size() && m_marks.at(j).kind == Mark::Day
             && m_marks.at(j).line <= mark.line + 2 && days.size() < 2;
             ++j)
            days.append(m_marks.at(j));
        if (mark.kind == Mark::Draw && days.isEmpty() && i > 0 && m_marks.at(i - 1).kind == Mark::Day
            && m_marks.at(i - 1).line == mark.line)
            days.append(m_marks.at(i - 1));
        int dayYear = lastYear;
        int dayMonth = lastMonth;
        QList<QDate> dates;
        for (const Mark &day : std::as_const(days)) {
            if (const std::optional<QDate> date = dayOf(day, dayYear, dayMonth, drawYear))
                dates.append(*date);
        }
        if (dates.isEmpty())
            continue;
        if (mark.kind == Mark::Draw) {
            drawDate = dates.first();
        } else if (dates.size() == 2) {
            exchangeFrom = dates.first();
            exchangeTo = dates.last();
        } else if (mark.kind == Mark::ExchangeEnd || days.first().until) {
            exchangeTo = dates.first();
        } else {
            exchangeFrom = dates.first();
        }
        lastYear = dayYear;
        lastMonth = dayMonth;
    }
    if (year == 0 && drawDate) {
        if (const auto drawn = eraOf(drawDate->year())) {
            era = drawn->first;
            year = drawn->second;
        }
    }

    if (year != 0) {
        input.strEra = era;
        input.strYear = QString::number(year);
        read.changed.append(DataEditField::Year);
    }
    const auto typed = [](const QDate &date) { return date.toString(u"yyyy/M/d"); };
    if (drawDate) {
        input.strDrawDate = typed(*drawDate);
        read.changed.append(DataEditField::DrawDate);
    }
    if (exchangeFrom) {
        input.strExchangeFrom = typed(*exchangeFrom);
        read.changed.append(DataEditField::ExchangeFrom);
    }
    if (exchangeTo) {
        input.strExchangeTo = typed(*exchangeTo);
        read.changed.append(DataEditField::ExchangeTo);
    }
    std::sort(read.changed.begin(), read.changed.end());
    return read;
}

// The text as the reader takes it: its first MaxResultsTextBytes, with
// full-width characters as ASCII, one kind of line break, no invisible
// characters and control characters as blanks.
QString prepared(const QString &text, bool &cut)
{
    using modNengajo::MaxResultsTextBytes;
    // Each character is at least one byte: what is past this is cut anyway.
    QByteArray utf8 = QStringView(text).left(MaxResultsTextBytes).toUtf8();
    cut = text.size() > MaxResultsTextBytes;
    if (utf8.size() > MaxResultsTextBytes) {
        // Cut before the character that would be cut in two.
        qsizetype end = MaxResultsTextBytes;
        while (end > 0 && (static_cast<unsigned char>(utf8.at(end)) & 0xC0) == 0x80)
            --end;
        utf8.truncate(end);
        cut = true;
    }
    // Through UTF-8 and back: a lone surrogate becomes a replacement character.
    QString prepared = QString::fromUtf8(utf8).normalized(QString::NormalizationForm_KC);
    if (prepared.size() > MaxResultsTextBytes) {
        // A few characters (ligatures, squared words) grow under NFKC.
        prepared.truncate(MaxResultsTextBytes);
        cut = true;
    }
    static const QRegularExpression invisible(QStringLiteral("\\p{Cf}++"));
    static const QRegularExpression lineBreak(QStringLiteral("\\r\\n?|[\\x{2028}\\x{2029}\\x{0B}\\x{0C}]"));
    static const QRegularExpression control(QStringLiteral("[\\x{00}-\\x{08}\\x{0E}-\\x{1F}\\x{7F}-\\x{9F}]"));
    prepared.remove(invisible);
    prepared.replace(lineBreak, QStringLiteral("\n"));
    prepared.replace(control, QStringLiteral(" "));
    return prepared;
}

// "１等", "１等と２等", "１等から３等", "１等・３等・４等".
QString classNames(const QList<int> &classes)
{
    QStringList names;
    for (const int k : classes)
        names.append(AtariList::ResultText(qint16(k + 1)));
    if (classes.size() >= 3 && classes.last() - classes.first() == classes.size() - 1)
        return names.first() + QStringLiteral("から") + names.last();
    return names.join(classes.size() == 2 ? QStringLiteral("と") : QStringLiteral("・"));
}

} // namespace

ResultsRead modNengajo::ReadResultsText(const QString &text, const DataEditInput &current)
{
    bool cut = false;
    const Reader reader(prepared(text, cut));
    ResultsRead read = reader.amend(current);
    read.cut = cut;
    return read;
}

QString modNengajo::ResultsSummary(const ResultsRead &read)
{
    QList<int> taken;
    QList<int> refused;
    for (int k = 0; k < ClassCount; ++k) {
        if (read.taken[k])
            taken.append(k);
        else if (read.changed.contains(numbersField(k)))
            refused.append(k);
    }
    QString summary;
    if (taken.isEmpty() && refused.isEmpty()) {
        summary = QStringLiteral(
            "当選番号を読み取れませんでした。発表された当選番号の表や記事をコピーしてから、もう一度押してください。");
    } else {
        if (!taken.isEmpty())
            summary = classNames(taken) + QStringLiteral("を読み取りました。");
        if (!refused.isEmpty())
            summary += classNames(refused) + QStringLiteral("は読み取れませんでした（理由は欄の下にあります）。");
        summary += QStringLiteral("番号を確かめてから保存してください。");
    }
    if (!read.leftOut.isEmpty())
        summary
            += read.leftOut.join(u'・') + QStringLiteral("は当選番号データに入れられないため、読み取りませんでした。");
    if (read.cut)
        summary += QStringLiteral("貼り付けた文章が長いため、初めの1MBだけを読みました。");
    return summary;
}
