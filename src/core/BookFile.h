#pragma once

#include "core/AtariBook.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

// One statement on the book, its values bound in order, stepped within a
// bound: a file that makes one run away cannot hold the program.
class BookQuery
{
public:
    BookQuery(sqlite3 *db, const char *sql, const QList<QVariant> &values = {});

    // The next row: false at the end (code() SQLITE_DONE) or on a failure.
    bool next();
    bool run();
    int code() const { return m_code; }
    qint64 integer(int column) const;
    QString text(int column) const;
    QDate date(int column) const;

private:
    struct Finalize
    {
        void operator()(sqlite3_stmt *statement) const;
    };
    int bind(int index, const QVariant &value);

    sqlite3 *m_db;
    std::unique_ptr<sqlite3_stmt, Finalize> m_statement;
    int m_code = 0;
    int m_calls = 0;
};

// The file of the book of won cards: its path, the defensive open, the look
// at what it holds, the upgrade of an older book, and the state. The file
// comes from outside the program: it is used only when it holds exactly the
// book's tables and indexes (no trigger, no view), with SQLite's defensive
// settings; a link is followed to an existing book only, and nothing is made
// or set up at its target. AtariBook asks it for the connection and runs the
// queries.
class BookFile
{
public:
    using State = AtariBook::State;
    using Access = AtariBook::Access;

    // stateChanged is called with each new state.
    BookFile(const QString &path, Access access, std::function<void(State)> stateChanged);
    ~BookFile();
    BookFile(const BookFile &) = delete;
    BookFile &operator=(const BookFile &) = delete;

    State open();
    State state() const { return m_state; }
    QString message() const;
    bool canRead() const;
    QString whyUnchangeable() const;
    bool canStartNew() const;
    QString newBookQuestion(const QDate &today) const;
    // Keeps the file aside and starts an empty book.
    Outcome<> startNewBook(const QDate &today);

    // The connection to read the book's tables from; null when the book
    // cannot be read or holds none yet (see state()).
    sqlite3 *reading();
    // A reading statement on reading() failed with SQLite's code.
    void readFailed(int code);
    // Lets go of a connection that must not be used further.
    void settle();
    // One transaction: the book set up or brought up to date, then work.
    bool change(const std::function<bool()> &work);
    // Within change(): runs a statement to its end; a failure fails the change.
    bool exec(const char *sql, const QList<QVariant> &values = {});
    // The connection within change().
    sqlite3 *db() const { return m_db.get(); }

private:
    // Connects to the file: false when there is none yet (and create is not
    // asked) or it cannot be used (see state()).
    bool attach(bool create);
    void detach();
    // What the file holds: its version when it is a book of this program, 0
    // when it is empty; else -1 with the state set.
    int inspect(bool writing);
    // SQLite's failure code told as the state.
    void failed(int code, bool writing);
    // A file that is not a book (NotABook) or is damaged, as found.
    void refuseFile(State state);
    // Whether no card can be added: the largest id there can be is used.
    bool idsUsedUp() const;
    void setState(State state, const QString &reason = {});

    QString m_path;
    Access m_access = Access::ReadWrite;
    std::function<void(State)> m_stateChanged;
    std::unique_ptr<sqlite3, CloseSqlite> m_db;
    State m_state = State::Ready;
    QString m_reason;
    bool m_opened = false;
    // The book could not be read for a while only (a lock, a full disk): open() tries again.
    bool m_passing = false;
    // The connection must go before the next use (the file failed or was moved).
    bool m_stale = false;
    // The file is reached through a link: it is used only while it is a book.
    bool m_linked = false;
    int m_version = 0;
    // While the file is first looked at: the file, when a log was found beside it.
    QString m_logOf;
    // The failure of the last statement of a change.
    int m_code = 0;
};
