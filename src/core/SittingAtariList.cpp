#include "core/SittingAtariList.h"

SittingAtariList::SittingAtariList(const CheckRecord &record, const WinningData &data, QObject *parent)
    : AtariListSource(parent)
    , m_record(record)
    , m_data(data)
{
    rebuild();
    connect(&record, &CheckRecord::cardAdded, this, &SittingAtariList::record_cardAdded);
    connect(&record, &CheckRecord::cleared, this, &SittingAtariList::record_cleared);
}

void SittingAtariList::setShowsLosses(bool shows)
{
    if (shows == m_showsLosses)
        return;
    m_showsLosses = shows;
    rebuild();
    emit rowsReset();
}

AtariList::Row SittingAtariList::row(qsizetype index) const
{
    return AtariList::MakeRow(m_record, m_shown.at(index), m_data);
}

QString SittingAtariList::totalsText() const
{
    return AtariList::TotalsText(m_record);
}

bool SittingAtariList::shows(qsizetype card) const
{
    return m_showsLosses || m_record.cards().at(card).intToukyu > 0;
}

void SittingAtariList::rebuild()
{
    m_shown.clear();
    for (qsizetype i = 0; i < m_record.cards().size(); ++i) {
        if (shows(i))
            m_shown.append(i);
    }
}

void SittingAtariList::record_cardAdded(qsizetype card)
{
    // A card is added without rebuilding what is shown: a long sitting stays quick.
    if (!shows(card))
        return;
    m_shown.append(card);
    emit rowsAppended(m_shown.size() - 1, m_shown.size() - 1);
}

void SittingAtariList::record_cleared()
{
    rebuild();
    emit rowsReset();
}
