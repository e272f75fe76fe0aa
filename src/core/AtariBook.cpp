#include "core/AtariBook.h"

#include "core/AtariBookAside.h"
#include "core/AtariBookTexts.h"
#include "platform/programfolder.h"

#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QUrl>
#include <QVariant>

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#ifdef Q_OS_WIN
// Windows' C library sees no links, and its administrator has no right to
// write a read-only file: the calls below in that sense.
namespace {
int lstat(const char *path, struct stat *status)
{
    return ::stat(path, status);
}
int geteuid()
{
    return 1;
}
} // namespace
#define S_ISLNK(mode) false
#endif

namespace {

// The steps from one version of the book to the next: step i makes version i + 1.
// A later version appends its step; a book is brought up to date in one
// transaction at the first change. A book holds exactly what its steps make.
const QList<QList<const char *>> Steps = {
    {
        "CREATE TABLE draws ("
        " id INTEGER PRIMARY KEY,"
        " card_type TEXT NOT NULL,"
        " draw_year TEXT NOT NULL,"
        " data_file TEXT NOT NULL,"
        " exchange_to TEXT,"
        " UNIQUE (card_type, draw_year))",
        // AUTOINCREMENT: the id of a deleted card is never given to another.
        "CREATE TABLE cards ("
        " id INTEGER PRIMARY KEY AUTOINCREMENT,"
        " draw_id INTEGER NOT NULL REFERENCES draws (id),"
        " number TEXT NOT NULL,"
        " class INTEGER NOT NULL CHECK (class > 0),"
        " prize TEXT NOT NULL,"
        " judged_at TEXT NOT NULL,"
        " sender TEXT NOT NULL DEFAULT '',"
        " exchanged_on TEXT)",
        // A six-digit number is one postcard; "****73" may be many.
        "CREATE UNIQUE INDEX cards_once ON cards (draw_id, number) WHERE instr(number, '*') = 0",
        "CREATE INDEX cards_of_draw ON cards (draw_id)",
    },
};
static_assert(AtariBook::SchemaVersion == 1, "one step for each version");

// Below this the disk counts as full when SQLite reports a failed write.
constexpr qint64 FullDiskBytes = 1024 * 1024;

// A statement is stopped after this many of SQLite's steps: the program's own
// statements on a household's book take a small part of it, so a file that
// makes one run away cannot hold the program.
constexpr int StepsPerCall = 1000;
constexpr int CallsPerStatement = 20'000;

struct FinalizeStatement
{
    void operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
};

} // namespace

// One statement, its values bound in order, stepped within the bound.
class BookQuery
{
public:
    BookQuery(sqlite3 *db, const char *sql, const QList<QVariant> &values = {})
        : m_db(db)
    {
        sqlite3_stmt *made = nullptr;
        m_code = sqlite3_prepare_v2(db, sql, -1, &made, nullptr);
        m_statement.reset(made);
        for (int i = 0; m_code == SQLITE_OK && i < values.size(); ++i)
            m_code = bind(i + 1, values.at(i));
    }

    // The next row: false at the end (code() SQLITE_DONE) or on a failure.
    bool next()
    {
        if (m_code != SQLITE_OK && m_code != SQLITE_ROW)
            return false;
        sqlite3_progress_handler(m_db, StepsPerCall, &BookQuery::bounded, &m_calls);
        m_code = sqlite3_step(m_statement.get());
        sqlite3_progress_handler(m_db, 0, nullptr, nullptr);
        return m_code == SQLITE_ROW;
    }
    bool run()
    {
        while (next()) { }
        return m_code == SQLITE_DONE;
    }
    int code() const { return m_code; }
    qint64 integer(int column) const { return sqlite3_column_int64(m_statement.get(), column); }
    QString text(int column) const
    {
        const auto *value = reinterpret_cast<const char *>(sqlite3_column_text(m_statement.get(), column));
        return value ? QString::fromUtf8(value, sqlite3_column_bytes(m_statement.get(), column)) : QString();
    }
    QDate date(int column) const { return QDate::fromString(text(column), Qt::ISODate); }

private:
    static int bounded(void *calls) { return ++*static_cast<int *>(calls) > CallsPerStatement ? 1 : 0; }

    int bind(int index, const QVariant &value)
    {
        sqlite3_stmt *statement = m_statement.get();
        if (!value.isValid())
            return sqlite3_bind_null(statement, index);
        if (value.typeId() == QMetaType::QString) {
            const QByteArray text = value.toString().toUtf8();
            return sqlite3_bind_text(statement, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        }
        return sqlite3_bind_int64(statement, index, value.toLongLong());
    }

    sqlite3 *m_db;
    std::unique_ptr<sqlite3_stmt, FinalizeStatement> m_statement;
    int m_code = SQLITE_OK;
    int m_calls = 0;
};

namespace {

// Ids as one value, a JSON array, for "id IN (SELECT value FROM json_each(?))".
QVariant idList(const QList<qint64> &ids)
{
    QStringList numbers;
    for (const qint64 id : ids)
        numbers.append(QString::number(id));
    return QString(u'[' + numbers.join(u',') + u']');
}

QVariant dateValue(const QDate &date)
{
    return date.isValid() ? QVariant(date.toString(Qt::ISODate)) : QVariant();
}

// What a file holds, as SQLite lists it: each table and index with its text.
int schemaOf(sqlite3 *db, QStringList &schema)
{
    BookQuery rows(db, "SELECT type, name, tbl_name, sql FROM sqlite_schema ORDER BY type, name");
    while (rows.next())
        schema.append(QStringList {rows.text(0), rows.text(1), rows.text(2), rows.text(3)}.join(u'\n'));
    return rows.code();
}

// The schema of a book of each version, from 1: what its steps make.
const QList<QStringList> &expectedSchemas()
{
    static const QList<QStringList> schemas = [] {
        QList<QStringList> made;
        sqlite3 *opened = nullptr;
        sqlite3_open_v2(":memory:", &opened, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        const std::unique_ptr<sqlite3, CloseSqlite> db(opened);
        for (const QList<const char *> &step : Steps) {
            for (const char *sql : step)
                BookQuery(db.get(), sql).run();
            schemaOf(db.get(), made.emplace_back());
        }
        return made;
    }();
    return schemas;
}

// Whether the program may write path: the system allows it and, for the
// administrator, whom the system allows everything, it is not read-only.
bool mayWrite(const QByteArray &path)
{
    struct stat status
    { };
    return ::access(path.constData(), W_OK) == 0
        && (::geteuid() != 0 || (::stat(path.constData(), &status) == 0 && (status.st_mode & 0222) != 0));
}

} // namespace

void CloseSqlite::operator()(sqlite3 *db) const
{
    sqlite3_close_v2(db);
}

AtariDraw AtariDraw::of(const WinningData &data)
{
    return {data.strType, data.strYear, data.strFileName, data.exchangeTo};
}

AtariBook::AtariBook(const QString &path, Access access, QObject *parent)
    : QObject(parent)
    , m_path(path)
    , m_access(access)
{ }

AtariBook::~AtariBook() = default;

AtariBook::State AtariBook::open()
{
    // A book another program held, or a disk that was full, as the book was
    // opened is opened again at its next use, as a change that failed is.
    const bool again = m_opened && m_passing && m_state == State::Unreadable;
    if (!m_opened || again) {
        m_opened = true;
        m_passing = false;
        if (again)
            m_state = State::Ready;
        attach(false);
        settle();
        if (again && m_state == State::Ready)
            emit stateChanged(m_state);
    }
    return m_state;
}

bool AtariBook::canRead() const
{
    return m_state == State::Ready || m_state == State::ReadOnly || m_state == State::WriteFailed;
}

bool AtariBook::canStartNew() const
{
    return m_access == Access::ReadWrite && (m_state == State::NotABook || m_state == State::Damaged);
}

QString AtariBook::message() const
{
    return BookTexts::Message(m_state, m_reason, m_path);
}

QString AtariBook::whyUnchangeable() const
{
    return m_state == State::ReadOnly ? BookTexts::Unchangeable(m_reason) : QString();
}

QString AtariBook::newBookQuestion(const QDate &today) const
{
    return BookTexts::NewBookQuestion(BookAside::Name(m_path, today));
}

void AtariBook::setState(State state, const QString &reason)
{
    m_reason = reason;
    if (state == m_state)
        return;
    m_state = state;
    // A book that cannot be used is let go once no statement runs on it.
    if (!canRead())
        m_stale = true;
    emit stateChanged(state);
}

bool AtariBook::attach(bool create)
{
    settle();
    if (m_db)
        return true;
    const auto refuse = [this](State state, const QString &reason) {
        setState(state, reason);
        detach();
        return false;
    };
    const QByteArray name = QFile::encodeName(m_path);
    struct stat entry
    { };
    struct stat status
    { };
    const bool named = ::lstat(name.constData(), &entry) == 0;
    const bool exists = named && ::stat(name.constData(), &status) == 0;
    // A link leads to a book the user keeps elsewhere; nothing is ever made at
    // its target. Only a plain file is opened: a FIFO would hold the program
    // in its opening for ever.
    m_linked = named && S_ISLNK(entry.st_mode);
    const QString unreadable = !named && errno != ENOENT && errno != ENOTDIR ? BookTexts::NoRead
        : m_linked && !exists                                                ? BookTexts::LinkToNoBook
        : !exists                                                            ? QString()
        : S_ISDIR(status.st_mode)                                            ? BookTexts::FolderOfTheName
        : !S_ISREG(status.st_mode)                                           ? BookTexts::NotAFile
        : ::access(name.constData(), R_OK) != 0                              ? BookTexts::NoRead
                                                                             : QString();
    if (!unreadable.isEmpty())
        return refuse(State::Unreadable, unreadable);
    // No file yet: an empty book, made with its first card.
    if (!exists && (!create || m_access == Access::ReadOnly))
        return false;
    const QString file = exists ? QFileInfo(m_path).canonicalFilePath() : QFileInfo(m_path).absoluteFilePath();
    const QString folder = QFileInfo(file).absolutePath();
    // The folder is made with the first card (the user's folder may not be there yet).
    if (!exists && !platform::makeFolder(folder))
        return refuse(State::WriteFailed, BookTexts::NoFolder);
    // A look at a book no program has open (it has no log beside it) reads the
    // file as it stands: SQLite would leave an empty log and its index behind.
    const bool idle = m_access == Access::ReadOnly && !QFileInfo::exists(file + QStringLiteral("-wal"))
        && !QFileInfo::exists(file + QStringLiteral("-shm"));
    const bool fixed = idle || !mayWrite(QFile::encodeName(folder)) || (exists && !mayWrite(QFile::encodeName(file)));
    if (fixed && !exists)
        return refuse(State::ReadOnly, BookTexts::NoWrite);
    const bool writes = !fixed && m_access == Access::ReadWrite;

    // A book that cannot be written is read as it stands, with no lock and no
    // file made beside it: the folder may not take one, and one left behind
    // would stay read-only.
    const QByteArray target = fixed ? QUrl::fromLocalFile(file).toEncoded() + "?immutable=1" : QFile::encodeName(file);
    const int flags = SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_EXRESCODE | SQLITE_OPEN_URI
        | (!writes ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | (exists ? 0 : SQLITE_OPEN_CREATE));
    sqlite3 *opened = nullptr;
    const int code = sqlite3_open_v2(target.constData(), &opened, flags, nullptr);
    m_db.reset(opened);
    if (code != SQLITE_OK) {
        failed(code, create);
        return refuse(m_state, m_reason);
    }
    // The file comes from outside: SQLite's settings for such files, and no
    // trigger or view of its own runs on the program's statements.
    sqlite3 *db = m_db.get();
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, BusyTimeoutMs);
    for (const int setting : {SQLITE_DBCONFIG_DEFENSIVE, SQLITE_DBCONFIG_TRUSTED_SCHEMA, SQLITE_DBCONFIG_ENABLE_TRIGGER,
             SQLITE_DBCONFIG_ENABLE_VIEW})
        sqlite3_db_config(db, setting, setting == SQLITE_DBCONFIG_DEFENSIVE ? 1 : 0, nullptr);

    m_version = inspect(create);
    // The statement ends at once: the journal mode changes only with none running.
    if (m_version >= 0) {
        BookQuery check(db, "PRAGMA quick_check");
        if (!check.next())
            failed(check.code(), false);
        else if (check.text(0) != u"ok")
            setState(State::Damaged);
    }
    if (m_version < 0 || !canRead())
        return refuse(m_state, m_reason);
    if (fixed && m_version > 0 && m_version < SchemaVersion)
        return refuse(State::Unreadable, BookTexts::OldAndReadOnly);
    if (fixed && m_access == Access::ReadWrite)
        setState(State::ReadOnly, BookTexts::NoWrite);
    if (writes) {
        // The write-ahead log: readers and a writer in another program do not
        // wait for each other. FULL: each change is on the disk, the log's
        // name in the folder too, before it returns, and survives a power cut.
        BookQuery(db, "PRAGMA journal_mode = WAL").run();
        BookQuery(db, "PRAGMA synchronous = FULL").run();
        // A book of an older version is brought up to date at once, so that
        // reading it needs no second way.
        if (m_version > 0 && m_version < SchemaVersion)
            change([] { return true; });
    }
    return canRead();
}

void AtariBook::detach()
{
    m_db.reset();
    m_stale = false;
}

void AtariBook::settle()
{
    if (m_stale)
        detach();
}

int AtariBook::inspect(bool writing)
{
    sqlite3 *db = m_db.get();
    BookQuery version(db, "PRAGMA user_version");
    QStringList schema;
    int code = version.next() ? schemaOf(db, schema) : version.code();
    if (code != SQLITE_DONE) {
        failed(code, writing);
        return -1;
    }
    const int found = int(version.integer(0));
    if (found > SchemaVersion) {
        setState(State::TooNew);
        return -1;
    }
    // An empty file is a book not yet set up, unless a link leads to it.
    if (found == 0 && schema.isEmpty() && !m_linked)
        return 0;
    if (found == 0 && schema.isEmpty()) {
        setState(State::Unreadable, BookTexts::LinkToNoBook);
        return -1;
    }
    // Another program's database, or a book with a trigger or view added.
    if (found == 0 || schema != expectedSchemas().at(found - 1)) {
        setState(State::NotABook);
        return -1;
    }
    return found;
}

void AtariBook::failed(int code, bool writing)
{
    const QString folder = QFileInfo(m_path).absolutePath();
    QString reason;
    switch (code & 0xff) {
    case SQLITE_NOTADB:
        return setState(State::NotABook);
    case SQLITE_CORRUPT:
        return setState(State::Damaged);
    case SQLITE_READONLY:
        if (code != SQLITE_READONLY_DBMOVED)
            return setState(writing ? State::ReadOnly : State::Unreadable, BookTexts::NoWrite);
        // Moved aside by another program: the next change opens the book now at the path.
        m_stale = true;
        reason = BookTexts::MovedAway;
        break;
    case SQLITE_PERM:
    case SQLITE_AUTH:
        reason = writing ? BookTexts::NoWrite : BookTexts::NoRead;
        break;
    case SQLITE_FULL:
        reason = BookTexts::DiskFull;
        break;
    case SQLITE_IOERR:
        reason = QStorageInfo(folder).bytesAvailable() < FullDiskBytes ? BookTexts::DiskFull : BookTexts::DiskFailed;
        break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        reason = BookTexts::InUse;
        break;
    case SQLITE_NOMEM:
        reason = BookTexts::NoMemory;
        break;
    case SQLITE_CANTOPEN:
        reason = QFileInfo(folder).isWritable() ? BookTexts::CannotOpen : BookTexts::NoWrite;
        break;
    default:
        reason = BookTexts::Failure(QString::fromUtf8(m_db ? sqlite3_errmsg(m_db.get()) : sqlite3_errstr(code)));
        break;
    }
    // What passes (a lock, the room on the disk) is tried again at the next use.
    m_passing = !writing
        && (reason == BookTexts::InUse || reason == BookTexts::DiskFull || reason == BookTexts::DiskFailed
            || reason == BookTexts::NoMemory);
    setState(writing ? State::WriteFailed : State::Unreadable, reason);
}

bool AtariBook::exec(const char *sql, const QList<QVariant> &values)
{
    BookQuery query(m_db.get(), sql, values);
    if (query.run())
        return true;
    m_code = query.code();
    return false;
}

bool AtariBook::change(const std::function<bool()> &work)
{
    open();
    if (m_access == Access::ReadOnly || (m_state != State::Ready && m_state != State::WriteFailed))
        return false;
    if (!attach(true))
        return false;
    m_code = SQLITE_OK;
    // IMMEDIATE: the write lock is taken (or waited for) before anything is
    // read, so two programs never both read and then find they cannot write.
    // Inside it the file is looked at again: another program may have made
    // or upgraded it since it was opened.
    bool done = exec("BEGIN IMMEDIATE");
    const int version = done ? inspect(true) : -1;
    done = version >= 0;
    for (int v = std::max(version, 0); done && v < SchemaVersion; ++v) {
        for (const char *sql : Steps.at(v))
            done = done && exec(sql);
    }
    if (done && version < SchemaVersion)
        done = exec(QByteArray("PRAGMA user_version = " + QByteArray::number(SchemaVersion)).constData());
    done = done && work() && exec("COMMIT");
    if (done) {
        m_version = SchemaVersion;
        setState(State::Ready);
        emit changed();
        return true;
    }
    const int code = m_code;
    if (m_db)
        BookQuery(m_db.get(), "ROLLBACK").run();
    if (code != SQLITE_OK && (m_state == State::Ready || m_state == State::WriteFailed))
        failed(code, true);
    settle();
    return false;
}

bool AtariBook::readable()
{
    open();
    if (!canRead() || !attach(false))
        return false;
    // Set up by another program since it was opened?
    if (m_version == 0)
        m_version = std::max(inspect(false), 0);
    return m_version == SchemaVersion;
}

bool AtariBook::read(const char *sql, const QList<QVariant> &values, const std::function<void(const BookQuery &)> &take)
{
    bool done = false;
    if (readable()) {
        BookQuery rows(m_db.get(), sql, values);
        while (rows.next())
            take(rows);
        done = rows.code() == SQLITE_DONE;
        if (!done)
            failed(rows.code(), false);
    }
    settle();
    return done;
}

AtariBook::Added AtariBook::add(const AtariDraw &draw, const QString &strNumber, qint16 intToukyu,
    const QString &strSyouhin, const QDateTime &judgedAt, qint64 *id)
{
    if (id)
        *id = 0;
    // Losses stay in the sitting's record alone.
    if (intToukyu <= 0)
        return Added::NotSaved;
    Added added = Added::NotSaved;
    qint64 entered = 0;
    const bool done = change([&] {
        if (!exec("INSERT INTO draws (card_type, draw_year, data_file, exchange_to) VALUES (?, ?, ?, ?)"
                  " ON CONFLICT (card_type, draw_year) DO UPDATE SET data_file = excluded.data_file,"
                  " exchange_to = coalesce(excluded.exchange_to, exchange_to)",
                {draw.strType, draw.strYear, draw.strFileName, dateValue(draw.exchangeTo)})
            || !exec("INSERT INTO cards (draw_id, number, class, prize, judged_at)"
                     " SELECT id, ?, ?, ?, ? FROM draws WHERE card_type = ? AND draw_year = ?"
                     " ON CONFLICT DO NOTHING",
                {strNumber, intToukyu, strSyouhin,
                    judgedAt.toOffsetFromUtc(judgedAt.offsetFromUtc()).toString(Qt::ISODate), draw.strType,
                    draw.strYear}))
            return false;
        added = sqlite3_changes(m_db.get()) == 1 ? Added::Added : Added::AlreadyInBook;
        if (added == Added::Added)
            entered = sqlite3_last_insert_rowid(m_db.get());
        return true;
    });
    if (done && id)
        *id = entered;
    return done ? added : Added::NotSaved;
}

QList<AtariCard> AtariBook::cards(const AtariDraw &draw)
{
    QList<AtariCard> cards;
    // A book damaged on the way lists nothing rather than part of it.
    if (!read("SELECT c.id, c.number, c.class, c.prize, c.judged_at, c.sender, c.exchanged_on"
              " FROM cards AS c JOIN draws AS d ON d.id = c.draw_id"
              " WHERE d.card_type = ? AND d.draw_year = ? ORDER BY c.id",
            {draw.strType, draw.strYear}, [&](const BookQuery &row) {
                const qint64 toukyu = row.integer(2);
                const bool known = toukyu >= 1 && toukyu <= AtariCard::MaxClass;
                cards.append({row.integer(0), row.text(1), known ? qint16(toukyu) : AtariCard::DamagedClass,
                    row.text(3), QDateTime::fromString(row.text(4), Qt::ISODate), row.text(5), row.date(6)});
            }))
        cards.clear();
    return cards;
}

QList<PendingDraw> AtariBook::pendingDraws()
{
    QList<PendingDraw> pending;
    if (!read("SELECT d.card_type, d.draw_year, d.data_file, d.exchange_to, count(c.id)"
              " FROM cards AS c JOIN draws AS d ON d.id = c.draw_id WHERE c.exchanged_on IS NULL"
              " GROUP BY d.id ORDER BY d.exchange_to IS NULL, d.exchange_to, d.id",
            {}, [&](const BookQuery &row) {
                pending.append({{row.text(0), row.text(1), row.text(2), row.date(3)}, int(row.integer(4))});
            }))
        pending.clear();
    return pending;
}

bool AtariBook::noteDraw(const AtariDraw &draw)
{
    bool same = true;
    read("SELECT data_file, exchange_to FROM draws WHERE card_type = ? AND draw_year = ?", {draw.strType, draw.strYear},
        [&](const BookQuery &row) {
            same = row.text(0) == draw.strFileName && (!draw.exchangeTo.isValid() || row.date(1) == draw.exchangeTo);
        });
    if (!canRead())
        return false;
    if (same)
        return true;
    return change([&] {
        return exec("UPDATE draws SET data_file = ?, exchange_to = coalesce(?, exchange_to)"
                    " WHERE card_type = ? AND draw_year = ?",
            {draw.strFileName, dateValue(draw.exchangeTo), draw.strType, draw.strYear});
    });
}

bool AtariBook::setExchanged(const QList<qint64> &ids, const QDate &date)
{
    return change([&] {
        return exec("UPDATE cards SET exchanged_on = ? WHERE id IN (SELECT value FROM json_each(?))"
                    " AND exchanged_on IS NULL",
            {dateValue(date), idList(ids)});
    });
}

bool AtariBook::clearExchanged(const QList<qint64> &ids)
{
    return change([&] {
        return exec("UPDATE cards SET exchanged_on = NULL WHERE id IN (SELECT value FROM json_each(?))", {idList(ids)});
    });
}

bool AtariBook::setSender(qint64 id, const QString &strSender)
{
    return change([&] { return exec("UPDATE cards SET sender = ? WHERE id = ?", {strSender, id}); });
}

bool AtariBook::remove(const QList<qint64> &ids)
{
    return change(
        [&] { return exec("DELETE FROM cards WHERE id IN (SELECT value FROM json_each(?))", {idList(ids)}); });
}

QString AtariBook::startNewBook(const QDate &today)
{
    if (!canStartNew())
        return BookTexts::NotMovedAside({});
    detach();
    const QString failure = BookAside::Keep(m_path, today);
    if (!failure.isEmpty())
        return failure;
    m_version = 0;
    m_opened = true;
    setState(State::Ready);
    emit changed();
    return {};
}
