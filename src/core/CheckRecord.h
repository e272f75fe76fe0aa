#pragma once

#include <QDebug>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

// One judged card of the sitting.
struct CheckedCard
{
    // As far as it was typed: "****" and the lower two digits when they
    // decided the card, all six digits after the upper stage.
    QString strNumber;
    // The class won; 0 for a loss.
    qint16 intToukyu = 0;

    bool operator==(const CheckedCard &) const = default;
};
QDebug operator<<(QDebug debug, const CheckedCard &card);

// The sitting: every card judged since the last clear or load, in the order
// judged, with the counts the main window shows. It is the one owner of the
// check count, the hits per class and their total; the windows only show them.
// Nothing of it is saved.
//
// The check count is a tally of its own, not the number of cards: each judged
// card adds one, and the user's corrections ("↑+1", "↓-1") add or take one
// without a card, so the list of cards (and of won cards) holds only what was
// judged, and the hits are never corrected.
class CheckRecord : public QObject
{
    Q_OBJECT

public:
    // The counts are 16-bit and stop here rather than wrap; the record still
    // keeps every card.
    static constexpr qint16 MaxCount = 32767;
    static constexpr qint64 InBookBefore = -1;

    using QObject::QObject;

    // A judged card: counted, and its class's hits with it. bookId: the id of
    // the entry the won card made in the book of won cards (AtariBook),
    // InBookBefore for a card the book held already, 0 when the book took
    // none (a loss, a book that cannot be used).
    void add(const QString &strNumber, qint16 intToukyu, qint64 bookId = 0);
    // The user's corrections of the check count; false, and nothing changes,
    // at the bound (0 or MaxCount).
    bool countUp();
    bool countDown();
    // Back to an empty sitting: no card, every count 0.
    void clear();

    const QList<CheckedCard> &cards() const { return m_cards; }
    // The bookId card index was added with.
    qint64 bookId(qsizetype index) const { return m_bookIds.value(index); }
    qint16 intCheckCnt() const { return m_checkCount; }
    // Hits of class intToukyu, and of all classes together.
    qint16 intAtariCnt(qint16 intToukyu) const { return m_hits.value(intToukyu); }
    qint16 hitTotal() const { return m_hitTotal; }
    // The classes that have hits, with their counts.
    const QMap<qint16, qint16> &hitsPerClass() const { return m_hits; }

signals:
    void cardAdded(qsizetype index);
    void cleared();
    // After every change of a count: a card, a correction, a clear.
    void countsChanged();

private:
    QList<CheckedCard> m_cards;
    QList<qint64> m_bookIds;
    qint16 m_checkCount = 0;
    QMap<qint16, qint16> m_hits;
    qint16 m_hitTotal = 0;
};
