#pragma once

#include "core/AtariListModel.h"
#include "core/CheckRecord.h"
#include "core/modNengajo.h"

// The sitting's record as a list of won cards: its won cards in the order
// judged, or every card when the losses are shown too, each with its place
// in the sitting and the goods of the winning data the cards were judged
// against. It follows the record card by card, and starts again at a clear.
class SittingAtariList final : public AtariListSource
{
    Q_OBJECT

public:
    // Both record and data outlive the list; data are the data the record's
    // cards were judged against (every load clears the record).
    SittingAtariList(const CheckRecord &record, const WinningData &data, QObject *parent = nullptr);

    bool showsLosses() const { return m_showsLosses; }
    void setShowsLosses(bool shows);

    qsizetype rowCount() const override { return m_shown.size(); }
    AtariList::Row row(qsizetype index) const override;
    QString totalsText() const override;

private:
    bool shows(qsizetype card) const;
    void rebuild();
    void record_cardAdded(qsizetype card);
    void record_cleared();

    const CheckRecord &m_record;
    const WinningData &m_data;
    bool m_showsLosses = false;
    // The record's cards shown, by their index in the record.
    QList<qsizetype> m_shown;
};
