#pragma once

#include "core/modNengajo.h"

#include <QDate>
#include <QDateTime>
#include <QDebug>
#include <QList>
#include <QObject>
#include <QSqlError>
#include <QString>
#include <QVariantList>

#include <functional>
#include <memory>

class QSqlQuery;
class WalSync;

// The draw a won card belongs to: one card type of one year. Cards of the
// same type and year are of one draw, whichever data file judged them.
struct AtariDraw
{
    QString strType;
    QString strYear;
    // The data file that last judged a card of the draw, and the last day of
    // its prize exchange (null where the data give none).
    QString strFileName;
    QDate exchangeTo;

    // The draw of the data in force.
    static AtariDraw of(const WinningData &data);

    bool operator==(const AtariDraw &) const = default;
};
QDebug operator<<(QDebug debug, const AtariDraw &draw);

// One won card in the book.
struct AtariCard
{
    // Stays with the card while it is in the book; the order of the book.
    qint64 id = 0;
    // As typed: "****73" when the last two digits won, else all six digits.
    QString strNumber;
    qint16 intToukyu = 0;
    // The class's goods as the data file gave them at the judgement, joined by CR LF.
    QString strSyouhin;
    QDateTime judgedAt;
    // Empty until the user writes one.
    QString strSender;
    // Null until the card is marked as exchanged.
    QDate exchangedOn;

    bool operator==(const AtariCard &) const = default;
};
QDebug operator<<(QDebug debug, const AtariCard &card);

struct AtariCounts
{
    int intWon = 0;
    int intNotExchanged = 0;

    bool operator==(const AtariCounts &) const = default;
};
QDebug operator<<(QDebug debug, const AtariCounts &counts);

// A draw with cards not yet exchanged, for the reminder.
struct PendingDraw
{
    AtariDraw draw;
    int intNotExchanged = 0;

    bool operator==(const PendingDraw &) const = default;
};
QDebug operator<<(QDebug debug, const PendingDraw &pending);

// The household's book of won cards, kept from the sitting to the post office
// in an SQLite file (atari.db beside settings.ini). Every change is one
// transaction, written before it returns; nothing is cached, so two programs
// on one book see each other's changes. A book that cannot be used is never
// changed, moved or deleted but by startNewBook(); the program then checks
// cards without it.
//
// The file is made when the first card is added. A six-digit card is one
// postcard: the same number of the same draw is entered once. A card decided
// by its last two digits ("****73") cannot be told from another card with the
// same two digits, so each such judgement enters a card of its own.
class AtariBook : public QObject
{
    Q_OBJECT

public:
    enum class State {
        Ready, // cards are listed and changed (also before the file exists)
        ReadOnly, // cards are listed, nothing is changed: the file or its folder is read-only
        WriteFailed, // the last change was not written (a full disk, a failing disk); the next one tries again
        NotABook, // the file is not this program's book (not SQLite, or another program's database)
        Damaged, // the file is an SQLite database, but damaged
        TooNew, // made by a newer version of the program, which alone may change it
        Unreadable, // cannot be read for another reason (permissions, the disk, no SQLite driver)
    };
    Q_ENUM(State)

    enum class Added {
        Added,
        AlreadyInBook, // the same six-digit number of the same draw was entered before
        NotSaved, // the book is not usable or the write failed: see state()
    };
    Q_ENUM(Added)

    // PRAGMA user_version of the books this version makes and reads.
    static constexpr int SchemaVersion = 1;
    // How long a reader or writer waits for another program's lock.
    static constexpr int BusyTimeoutMs = 5000;
    // The cards not yet exchanged, a row per draw, the first to end first:
    // card type, year, data file, last exchange day, count. Read by
    // pendingDraws() and by BookFile, which reads the file without Qt SQL.
    static constexpr char PendingDrawsQuery[]
        = "SELECT d.card_type, d.draw_year, d.data_file, d.exchange_to, count(c.id)"
          " FROM cards AS c JOIN draws AS d ON d.id = c.draw_id WHERE c.exchanged_on IS NULL"
          " GROUP BY d.id ORDER BY d.exchange_to IS NULL, d.exchange_to, d.id";

    explicit AtariBook(const QString &path, QObject *parent = nullptr);
    ~AtariBook() override;

    // Opens the book (every other call opens it when needed): the state tells
    // whether it can be used. Opening never writes to the file, except to
    // bring a book of an older version up to this one.
    State open();
    State state() const { return m_state; }
    // The words for the state, for one message box when the state begins;
    // empty while Ready.
    QString message() const;
    bool canRead() const;
    // For a file that is not a book or is damaged: startNewBook() may be offered.
    bool canStartNew() const { return m_state == State::NotABook || m_state == State::Damaged; }

    // Enters a won card judged with the data of draw; a loss (class 0) is
    // never entered. id, when given, receives the id of the card entered, 0
    // when none was.
    Added add(const AtariDraw &draw, const QString &strNumber, qint16 intToukyu, const QString &strSyouhin,
        const QDateTime &judgedAt = QDateTime::currentDateTime(), qint64 *id = nullptr);
    // The cards of the draw, the first entered first. Empty when there are none
    // or the book cannot be read.
    QList<AtariCard> cards(const AtariDraw &draw);
    AtariCounts counts(const AtariDraw &draw);
    // Every draw with cards not yet exchanged, the nearest last exchange day
    // first, draws without one last.
    QList<PendingDraw> pendingDraws();
    // The data file and the last exchange day of a draw the book holds, as the
    // data in force now give them (a corrected data file); nothing is written
    // when they are the same or the book does not hold the draw.
    bool noteDraw(const AtariDraw &draw);

    // Marks the cards as exchanged on date; a card marked before keeps its date.
    bool setExchanged(const QList<qint64> &ids, const QDate &date);
    bool clearExchanged(const QList<qint64> &ids);
    bool setSender(qint64 id, const QString &strSender);
    bool remove(const QList<qint64> &ids);

    // The name the unusable file is kept under by startNewBook() today:
    // "atari.db.damaged-YYYYMMDD", with "-2", "-3", ... when that is taken.
    QString asideName(const QDate &today) const;
    // The question to ask before startNewBook().
    QString newBookQuestion(const QDate &today) const;
    // For canStartNew() only, once the user agrees: keeps the file (and the
    // journal beside it) under asideName() and starts an empty book. Empty
    // text on success, else why it failed in words; the book is then unchanged.
    QString startNewBook(const QDate &today);

signals:
    void stateChanged(AtariBook::State state);
    // After each change this object wrote.
    void changed();

private:
    // Connects to the file: false when there is none yet (and create is not
    // asked) or it cannot be used (see state()).
    bool attach(bool create);
    bool checkOpened(bool readOnly);
    void detach();
    // Whether the book can be read and holds the tables.
    bool readable();
    // Runs sql with the values bound in order; a failure is kept in m_error.
    bool exec(QSqlQuery &query, const QString &sql, const QVariantList &values = {});
    // exec() for reading: a failure sets the state.
    bool query(QSqlQuery &query, const QString &sql, const QVariantList &values = {});
    // One transaction: the book brought up to date, then work.
    bool change(const std::function<bool(QSqlQuery &query)> &work);
    bool upToDate(QSqlQuery &query);
    // Lets go of a connection that must not be used further.
    void settle();
    bool changeEach(const QString &sql, const QList<QVariantList> &rows);
    void failed(const QString &sqlCode, const QString &sqlText, bool writing);
    void setState(State state, const QString &reason = {});

    QString m_path;
    QString m_connection;
    State m_state = State::Ready;
    QString m_reason;
    bool m_opened = false;
    bool m_attached = false;
    bool m_stale = false;
    int m_version = 0;
    QSqlError m_error;
    std::unique_ptr<WalSync> m_sync;
};
