#include "core/BookAtariList.h"

#include <algorithm>
#include <limits>
#include <utility>

BookAtariList::BookAtariList(AtariBook &book, const CheckRecord &record, const WinningData &data, QObject *parent)
    : QObject(parent)
    , m_book(book)
    , m_record(record)
    , m_data(data)
{
    m_cards = m_book.cards(AtariDraw::of(m_data));
    rebuild();
    connect(&book, &AtariBook::changed, this, &BookAtariList::reload);
    connect(&record, &CheckRecord::cardAdded, this, &BookAtariList::record_cardAdded);
    connect(&record, &CheckRecord::cleared, this, &BookAtariList::record_cleared);
}

void BookAtariList::setShowsLosses(bool shows)
{
    if (shows == m_showsLosses)
        return;
    m_showsLosses = shows;
    rebuild();
    emit rowsReset();
}

AtariList::Row BookAtariList::row(qsizetype index) const
{
    const Shown &shown = m_shown.at(index);
    if (shown.card < 0) {
        AtariList::Row row = AtariList::MakeRow(m_record, shown.sitting, m_data);
        row.intOrder = index + 1;
        return row;
    }
    const AtariCard &card = m_cards.at(shown.card);
    return {index + 1, card.strNumber, AtariList::ResultText(card.intToukyu), AtariList::SyouhinText(card.strSyouhin),
        card.intToukyu, AtariList::KoukanText(card.exchangedOn), card.strSender, card.id};
}

QList<AtariList::Row> BookAtariList::rows() const
{
    QList<AtariList::Row> result;
    result.reserve(m_shown.size());
    for (qsizetype i = 0; i < m_shown.size(); ++i)
        result.append(row(i));
    return result;
}

QString BookAtariList::totalsText() const
{
    // Counted over every sitting the book holds: past the sitting's 16-bit counters.
    QMap<qint16, qint64> perClass;
    qint64 total = 0;
    qint64 notExchanged = 0;
    qint64 damaged = 0;
    for (const Shown &shown : m_shown) {
        const qint16 toukyu
            = shown.card >= 0 ? m_cards.at(shown.card).intToukyu : m_record.cards().at(shown.sitting).intToukyu;
        if (toukyu == AtariCard::DamagedClass)
            ++damaged;
        if (toukyu <= 0)
            continue;
        ++perClass[toukyu];
        ++total;
        if (shown.card >= 0 && !m_cards.at(shown.card).exchangedOn.isValid())
            ++notExchanged;
    }
    QString text = AtariList::TotalsText(perClass, total);
    if (notExchanged > 0)
        text += QStringLiteral("（未引換 ") + QString::number(notExchanged) + QStringLiteral("枚）");
    // Kept in the book as they are, and told: no class is guessed for them.
    if (damaged > 0)
        text += QStringLiteral("（等級の壊れた記録 ") + QString::number(damaged) + QStringLiteral("枚）");
    return text;
}

bool BookAtariList::isEditableAt(qsizetype index, AtariColumn column) const
{
    return column == AtariColumn::Sender && index >= 0 && index < m_shown.size() && m_shown.at(index).card >= 0
        && whyUnchangeable().isEmpty();
}

bool BookAtariList::setText(qsizetype index, AtariColumn column, const QString &text)
{
    if (!isEditableAt(index, column))
        return false;
    const AtariCard &card = m_cards.at(m_shown.at(index).card);
    // Spaces typed around a name are no part of it.
    const QString sender = text.trimmed();
    if (sender == card.strSender)
        return true;
    return m_book.setSender(card.id, sender);
}

void BookAtariList::reload()
{
    const QList<Shown> before = m_shown;
    const QList<AtariCard> cardsBefore = m_cards;
    m_cards = m_book.cards(AtariDraw::of(m_data));
    rebuild();
    announce(before, cardsBefore);
}

bool BookAtariList::allExchanged(const QList<qsizetype> &rows) const
{
    bool any = false;
    for (const qsizetype r : rows) {
        if (r < 0 || r >= m_shown.size() || m_shown.at(r).card < 0)
            continue;
        if (!m_cards.at(m_shown.at(r).card).exchangedOn.isValid())
            return false;
        any = true;
    }
    return any;
}

bool BookAtariList::toggleExchanged(const QList<qsizetype> &rows, const QDate &today)
{
    const QList<qint64> ids = idsOf(rows);
    if (ids.isEmpty())
        return true;
    return allExchanged(rows) ? m_book.clearExchanged(ids) : m_book.setExchanged(ids, today);
}

bool BookAtariList::remove(const QList<qsizetype> &rows)
{
    const QList<qint64> ids = idsOf(rows);
    return ids.isEmpty() || m_book.remove(ids);
}

QList<AtariCard> BookAtariList::cardsToExchange() const
{
    QList<AtariCard> cards;
    for (const Shown &shown : m_shown) {
        if (shown.card >= 0) {
            if (!m_cards.at(shown.card).exchangedOn.isValid())
                cards.append(m_cards.at(shown.card));
            continue;
        }
        const CheckedCard &card = m_record.cards().at(shown.sitting);
        if (card.intToukyu > 0)
            cards.append({0, card.strNumber, card.intToukyu, m_data.prizeClass(card.intToukyu).strSyouhin, {}, {}, {}});
    }
    return cards;
}

QList<qint64> BookAtariList::idsOf(const QList<qsizetype> &rows) const
{
    QList<qint64> ids;
    for (const qsizetype r : rows) {
        if (r >= 0 && r < m_shown.size() && m_shown.at(r).card >= 0)
            ids.append(m_cards.at(m_shown.at(r).card).id);
    }
    return ids;
}

void BookAtariList::rebuild()
{
    // Where each row goes: a book card by its id, the first entered first; a
    // card of the sitting alone right after the book card the sitting entered
    // last before it, or before the first one it entered, or after every card
    // when the sitting entered none.
    using Key = std::pair<qint64, qsizetype>;
    QList<std::pair<Key, Shown>> placed;
    placed.reserve(m_cards.size() + m_record.cards().size());
    for (qsizetype c = 0; c < m_cards.size(); ++c)
        placed.append({{m_cards.at(c).id, 0}, {c, -1}});

    const QList<CheckedCard> &cards = m_record.cards();
    qint64 firstEntered = std::numeric_limits<qint64>::max();
    for (qsizetype i = 0; i < cards.size(); ++i) {
        if (m_record.bookId(i) > 0) {
            firstEntered = m_record.bookId(i);
            break;
        }
    }
    qint64 anchor = 0;
    for (qsizetype i = 0; i < cards.size(); ++i) {
        const qint64 id = m_record.bookId(i);
        if (id > 0)
            anchor = std::max(anchor, id);
        // Listed from the sitting: a loss, and a won card the book did not take.
        if (id != 0 || (cards.at(i).intToukyu <= 0 && !m_showsLosses))
            continue;
        const Key key = anchor > 0 ? Key {anchor, i + 1} : Key {firstEntered, i - cards.size()};
        placed.append({key, {-1, i}});
    }
    std::sort(placed.begin(), placed.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    m_shown.clear();
    m_shown.reserve(placed.size());
    for (const auto &entry : std::as_const(placed))
        m_shown.append(entry.second);
}

void BookAtariList::announce(const QList<Shown> &before, const QList<AtariCard> &cardsBefore)
{
    const auto sameRow = [&](qsizetype r) {
        const Shown &a = before.at(r);
        const Shown &b = m_shown.at(r);
        if (a.card < 0 || b.card < 0)
            return a == b;
        return cardsBefore.at(a.card).id == m_cards.at(b.card).id;
    };
    const qsizetype common = std::min(before.size(), m_shown.size());
    bool kept = m_shown.size() >= before.size();
    for (qsizetype r = 0; kept && r < common; ++r)
        kept = sameRow(r);
    if (!kept) {
        emit rowsReset();
        return;
    }
    // A mark or a sender: the rows stay where they are, with the selection.
    const bool cardsKept = m_cards.size() >= cardsBefore.size() && m_cards.first(cardsBefore.size()) == cardsBefore;
    if (common > 0 && !cardsKept)
        emit rowsChanged(0, common - 1);
    if (m_shown.size() > before.size())
        emit rowsAppended(before.size(), m_shown.size() - 1);
}

void BookAtariList::record_cardAdded(qsizetype card)
{
    // A card the book holds came with the book's own change.
    if (m_record.bookId(card) != 0)
        return;
    const QList<Shown> before = m_shown;
    rebuild();
    announce(before, m_cards);
}

void BookAtariList::record_cleared()
{
    // A load clears the sitting: the data in force, and so the draw, may be others.
    m_cards = m_book.cards(AtariDraw::of(m_data));
    rebuild();
    emit rowsReset();
}
