#include "core/CheckRecord.h"
#include "core/modNengajo.h"

namespace {

void increase(qint16 &count)
{
    if (count < CheckRecord::MaxCount)
        ++count;
}

} // namespace

QDebug operator<<(QDebug debug, const CheckedCard &card)
{
    return modNengajo::debugFields(debug, "CheckedCard", card.strNumber, card.intToukyu);
}

void CheckRecord::add(const QString &strNumber, qint16 intToukyu, qint64 bookId)
{
    m_cards.append({strNumber, intToukyu});
    m_bookIds.append(bookId);
    increase(m_checkCount);
    if (intToukyu > 0) {
        increase(m_hits[intToukyu]);
        increase(m_hitTotal);
    }
    emit cardAdded(m_cards.size() - 1);
    emit countsChanged();
}

bool CheckRecord::countUp()
{
    if (m_checkCount >= MaxCount)
        return false;
    ++m_checkCount;
    emit countsChanged();
    return true;
}

bool CheckRecord::countDown()
{
    if (m_checkCount <= 0)
        return false;
    --m_checkCount;
    emit countsChanged();
    return true;
}

void CheckRecord::clear()
{
    m_cards.clear();
    m_bookIds.clear();
    m_checkCount = 0;
    m_hits.clear();
    m_hitTotal = 0;
    emit cleared();
    emit countsChanged();
}
