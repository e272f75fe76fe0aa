#pragma once

#include "core/AtariBook.h"
#include "core/AtariList.h"
#include "core/AtariListModel.h"
#include "core/CheckRecord.h"
#include "core/modNengajo.h"

#include <QDate>
#include <QList>
#include <QObject>

// The book's won cards of the data in force as a list, the first entered
// first, whichever sitting judged them; with the losses shown, the sitting's
// losses among them where they were judged. A won card of the sitting the book
// does not hold (a book that cannot be used) is listed too, as the sitting
// has it. The book's cards carry 引換 and 差出人, the sender typed in place.
// AtariListModel shows the rows in a table.
class BookAtariList final : public QObject
{
    Q_OBJECT

public:
    // book, record and data outlive the list; data are the data in force,
    // the record's cards judged against them (every load clears the record).
    BookAtariList(AtariBook &book, const CheckRecord &record, const WinningData &data, QObject *parent = nullptr);

    void setShowsLosses(bool shows);

    qsizetype rowCount() const { return m_shown.size(); }
    // The row at index, from 0, in the order shown.
    AtariList::Row row(qsizetype index) const;
    // Every row in order: what is saved as CSV and printed.
    QList<AtariList::Row> rows() const;
    // The book's won cards of the draw per class and in all, and
    // "（未引換 N枚）" while some are not yet exchanged, and
    // "（等級の壊れた記録 N枚）" while some rows of the book are damaged.
    QString totalsText() const;
    // Only the sender of a card of the book is typed into, while the book can be changed.
    bool isEditableAt(qsizetype index, AtariColumn column) const;
    bool setText(qsizetype index, AtariColumn column, const QString &text);
    // Why the book's cards cannot be marked, deleted or given a sender, in
    // words; empty when they can be.
    QString whyUnchangeable() const { return m_book.whyUnchangeable(); }

    // Reads the book again: the data in force or another program may have changed it.
    void reload();

    // Whether every card of the book among rows is marked as exchanged (false
    // when rows hold none of the book's cards).
    bool allExchanged(const QList<qsizetype> &rows) const;
    // Marks the book's cards among rows as exchanged on today or, when every
    // one of them is marked already, takes their marks back. False when the
    // book could not be changed.
    bool toggleExchanged(const QList<qsizetype> &rows, const QDate &today);
    // Deletes the book's cards among rows from the book.
    bool remove(const QList<qsizetype> &rows);

    // The won cards listed and not yet exchanged, in the list's order, for the
    // user's calendar: the book's cards without their mark, and the sitting's
    // won cards the book does not hold (a book that cannot be used).
    QList<AtariCard> cardsToExchange() const;

signals:
    // Rows first to last were added at the end.
    void rowsAppended(qsizetype first, qsizetype last);
    // Rows first to last show other texts now.
    void rowsChanged(qsizetype first, qsizetype last);
    // Anything may have changed.
    void rowsReset();

private:
    // A shown row: a card of m_cards, or else a card of the record.
    struct Shown
    {
        qsizetype card = -1;
        qsizetype sitting = -1;
        bool operator==(const Shown &) const = default;
    };

    QList<qint64> idsOf(const QList<qsizetype> &rows) const;
    void rebuild();
    // Shows what rebuild() found: rows appended, rows changed, or anew.
    void announce(const QList<Shown> &before, const QList<AtariCard> &cardsBefore);
    void record_cardAdded(qsizetype card);
    void record_cleared();

    AtariBook &m_book;
    const CheckRecord &m_record;
    const WinningData &m_data;
    bool m_showsLosses = false;
    QList<AtariCard> m_cards;
    QList<Shown> m_shown;
};
