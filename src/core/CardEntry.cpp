#include "core/CardEntry.h"

#include "core/AtariBook.h"
#include "core/CheckRecord.h"
#include "core/DataInForce.h"

#include <QDateTime>
#include <QLocale>

#include <cmath>

namespace {

// The locale's number recognition, on the whole text. Infinity and "not a
// number" are words, not numbers a card carries.
bool isNumeric(const QString &text)
{
    bool ok = false;
    const double value = QLocale::system().toDouble(text, &ok);
    return ok && std::isfinite(value);
}

} // namespace

CardEntry::CardEntry(const DataInForce &data, CheckRecord &record, AtariBook &book)
    : m_data(data)
    , m_record(record)
    , m_book(book)
{ }

CardEntry::Step CardEntry::Simo2(const QString &text)
{
    if (text.size() != 2)
        return {};
    if (!isNumeric(text))
        return {Outcome::NotNumeric, 0, {}, QStringLiteral("２桁の正しい値を入力してください。")};
    strSimo2 = text;
    m_number = QStringLiteral("****") + strSimo2;
    switch (m_hantei.AtariHantei_Simo(m_data.winningData(), strSimo2)) {
    case AtariHantei::SimoHazure:
        return {Outcome::Hazure, 0, m_number, QStringLiteral("はずれです...次の番号を入力してください")};
    case AtariHantei::SimoAtari:
        return {Outcome::Atari, m_hantei.intAtariToukyu, m_number, {}};
    default: {
        // The card is counted when its upper digits have been judged.
        const qint16 toukyu = m_hantei.arrKouho.value(0).Toukyu;
        return {Outcome::Kami4, toukyu, m_number, Kami4Prompt(toukyu)};
    }
    }
}

CardEntry::Step CardEntry::Kami4(const QString &text)
{
    if (text.size() != 4)
        return {};
    if (!isNumeric(text))
        return {Outcome::NotNumeric, 0, {},
            modNengajo::FullWidthDigits(4) + QStringLiteral("桁の正しい値を入力してください。")};
    strKami4 = text;
    m_number = strKami4 + strSimo2;
    if (m_hantei.AtariHantei_Kami(m_data.winningData(), strKami4) == AtariHantei::KamiAtari)
        return {Outcome::Atari, m_hantei.intAtariToukyu, m_number, {}};
    // Only the first candidate's number is named, however many there were.
    const Kouho first = m_hantei.arrKouho.value(0);
    const QString winningNumber = m_data.winningData().prizeClass(first.Toukyu).number(first.NumIndex);
    return {Outcome::Hazure, 0, m_number,
        QStringLiteral("はずれです...") + QStringLiteral("当選番号は ") + winningNumber + QStringLiteral(" でした")
            + modNengajo::CrLf + QStringLiteral("次の番号を入力してください")};
}

void CardEntry::enter()
{
    const qint16 toukyu = m_hantei.intAtariToukyu;
    m_record.add(m_number, toukyu, toukyu > 0 ? enterIntoBook(toukyu) : 0);
}

qint64 CardEntry::enterIntoBook(qint16 intToukyu)
{
    const WinningData &data = m_data.winningData();
    qint64 id = 0;
    const AtariBook::Added added = m_book.add(AtariDraw::of(data), m_number, intToukyu,
        data.prizeClass(intToukyu).strSyouhin, QDateTime::currentDateTime(), &id);
    return added == AtariBook::Added::AlreadyInBook ? CheckRecord::InBookBefore : id;
}

QString CardEntry::AtariText(qint16 intToukyu)
{
    return modNengajo::FullWidthDigits(intToukyu) + QStringLiteral("等が当たりました！おめでとうございます。");
}

QString CardEntry::Kami4Prompt(qint16 intToukyu)
{
    return modNengajo::FullWidthDigits(intToukyu) + QStringLiteral("等の可能性あり！上４桁を入力してください");
}
