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

// Every card judged since the last clear or load, in the order judged. It lives
// and is cleared exactly with the main window's counters and is never saved.
class CheckRecord : public QObject
{
    Q_OBJECT

public:
    // The counters it agrees with are 16-bit and stop here; the record keeps
    // every card, its counts stop with them.
    static constexpr qint16 MaxCount = 32767;

    using QObject::QObject;

    void add(const QString &strNumber, qint16 intToukyu);
    void clear();

    const QList<CheckedCard> &cards() const { return m_cards; }
    qint16 cardCount() const;
    // Hits of class k, and of all classes together.
    qint16 hitCount(qint16 intToukyu) const;
    qint16 hitTotal() const;
    // The classes that have hits, lowest class number first, with their counts.
    QList<std::pair<qint16, qint16>> hitsPerClass() const;

signals:
    void cardAdded(qsizetype index);
    void cleared();

private:
    QList<CheckedCard> m_cards;
    QMap<qint16, qsizetype> m_hits;
    qsizetype m_hitTotal = 0;
};
