#pragma once

#include "core/Outcome.h"
#include "core/modNengajo.h"

#include <QDate>
#include <QDateTime>
#include <QDebug>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

struct sqlite3;
class BookFile;
class BookQuery;

// Closes an SQLite connection once its last statement is finalized.
struct CloseSqlite
{
    void operator()(sqlite3 *db) const;
};

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
    // The classes a data file can have; a book's row with any other class is
    // damaged: it is listed with DamagedClass, never as another class.
    static constexpr qint16 MaxClass = 5;
    static constexpr qint16 DamagedClass = -1;

    // Stays with the card while it is in the book; the order of the book.
    qint64 id = 0;
    // As typed: "****73" when the last two digits won, else all six digits.
    QString strNumber;
    // 1 to MaxClass, or DamagedClass.
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
// transaction, on the disk before it returns; nothing is cached, so two
// programs on one book see each other's changes. A book that cannot be used is
// never changed, moved or deleted but by startNewBook(); the program then
// checks cards without it.
//
// The file comes from outside the program: it is used only when it holds
// exactly the book's tables and indexes (no trigger, no view), with SQLite's
// defensive settings and a bound on every statement. A link named atari.db is
// followed to an existing book only; nothing is made or set up at its target.
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
        NotABook, // the file is not this program's book (not SQLite, another program's database, another schema)
        Damaged, // the file is an SQLite database, but damaged
        TooNew, // made by a newer version of the program, which alone may change it
        Unreadable, // cannot be read for another reason (permissions, the disk, not a plain file, a link)
    };
    Q_ENUM(State)

    enum class Added {
        Added,
        AlreadyInBook, // the same six-digit number of the same draw was entered before
        NotSaved, // the book is not usable or the write failed: see state()
    };
    Q_ENUM(Added)

    // ReadOnly: the login reminder's look, which never writes, sets up or
    // upgrades the file, and leaves nothing beside a book no program has open.
    enum class Access { ReadWrite, ReadOnly };

    // PRAGMA user_version of the books this version makes and reads.
    static constexpr int SchemaVersion = 1;
    // How long a reader or writer waits for another program's lock.
    static constexpr int BusyTimeoutMs = 5000;

    explicit AtariBook(const QString &path, Access access = Access::ReadWrite, QObject *parent = nullptr);
    ~AtariBook() override;

    // Opens the book (every other call opens it when needed): the state tells
    // whether it can be used. Opening never writes to the file, except to
    // bring a book of an older version up to this one.
    State open();
    State state() const;
    // The words for the state, for one message box when the state begins;
    // empty while Ready.
    QString message() const;
    bool canRead() const;
    // Why the cards listed cannot be changed (a read-only book), in words;
    // empty when they can be or none are listed.
    QString whyUnchangeable() const;
    // For a file that is not a book or is damaged: startNewBook() may be offered.
    bool canStartNew() const;

    // Enters a won card judged with the data of draw; a loss (class 0) is
    // never entered. id, when given, receives the id of the card entered, 0
    // when none was.
    Added add(const AtariDraw &draw, const QString &strNumber, qint16 intToukyu, const QString &strSyouhin,
        const QDateTime &judgedAt = QDateTime::currentDateTime(), qint64 *id = nullptr);
    // The cards of the draw, the first entered first. Empty when there are none
    // or the book cannot be read.
    QList<AtariCard> cards(const AtariDraw &draw);
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

    // The question to ask before startNewBook().
    QString newBookQuestion(const QDate &today) const;
    // For canStartNew() only, once the user agrees: keeps the file (and the
    // journal beside it) under a free name beside it and starts an empty book;
    // on failure the book is unchanged.
    Outcome<> startNewBook(const QDate &today);

signals:
    void stateChanged(AtariBook::State state);
    // After each change this object wrote.
    void changed();

private:
    // Runs a reading statement with the values bound in order, each row
    // given to take; false when the book cannot be read (see state()).
    bool read(const char *sql, const QList<QVariant> &values, const std::function<void(const BookQuery &)> &take);
    // Runs a statement to its end within a change.
    bool exec(const char *sql, const QList<QVariant> &values = {});
    // One transaction: the book set up or brought up to date, then work.
    bool change(const std::function<bool()> &work);

    // The file, its connection and its state.
    std::unique_ptr<BookFile> m_file;
};
