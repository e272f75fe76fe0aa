#include "core/CheckRecord.h"

namespace {

qint16 bounded(qsizetype count)
{
    return static_cast<qint16>(std::min<qsizetype>(count, CheckRecord::MaxCount));
}

} // namespace

QDebug operator<<(QDebug debug, const CheckedCard &card)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "CheckedCard(" << card.strNumber << ", " << card.intToukyu << ')';
    return debug;
}

void CheckRecord::add(const QString &strNumber, qint16 intToukyu)
{
    m_cards.append({strNumber, intToukyu});
    if (intToukyu > 0) {
        ++m_hits[intToukyu];
        ++m_hitTotal;
    }
    emit cardAdded(m_cards.size() - 1);
}

void CheckRecord::clear()
{
    m_cards.clear();
    m_hits.clear();
    m_hitTotal = 0;
    emit cleared();
}

qint16 CheckRecord::cardCount() const
{
    return bounded(m_cards.size());
}

qint16 CheckRecord::hitCount(qint16 intToukyu) const
{
    return bounded(m_hits.value(intToukyu));
}

qint16 CheckRecord::hitTotal() const
{
    return bounded(m_hitTotal);
}

QList<std::pair<qint16, qint16>> CheckRecord::hitsPerClass() const
{
    QList<std::pair<qint16, qint16>> result;
    for (auto it = m_hits.cbegin(); it != m_hits.cend(); ++it)
        result.append({it.key(), bounded(it.value())});
    return result;
}
