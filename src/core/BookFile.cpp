#include "core/BookFile.h"

#include "core/AtariBookAside.h"
#include "core/AtariBookTexts.h"
#include "platform/fileaccess.h"
#include "platform/programfolder.h"

#include <QFileInfo>
#include <QStorageInfo>
#include <QStringList>
#include <QUrl>

#include <sqlite3.h>

#include <algorithm>
#include <limits>
#include <utility>

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
// No card holds a value near this (a prize's goods, a sender): a longer one
// is refused, never read into memory.
constexpr int MaxValueBytes = 1024 * 1024;
constexpr int CallsPerStatement = 20'000;

int bounded(void *calls)
{
    return ++*static_cast<int *>(calls) > CallsPerStatement ? 1 : 0;
}

} // namespace

BookQuery::BookQuery(sqlite3 *db, const char *sql, const QList<QVariant> &values)
    : m_db(db)
{
    sqlite3_stmt *made = nullptr;
    m_code = sqlite3_prepare_v2(db, sql, -1, &made, nullptr);
    m_statement.reset(made);
    for (int i = 0; m_code == SQLITE_OK && i < values.size(); ++i)
        m_code = bind(i + 1, values.at(i));
}

void BookQuery::Finalize::operator()(sqlite3_stmt *statement) const
{
    sqlite3_finalize(statement);
}

bool BookQuery::next()
{
    if (m_code != SQLITE_OK && m_code != SQLITE_ROW)
        return false;
    sqlite3_progress_handler(m_db, StepsPerCall, &bounded, &m_calls);
    m_code = sqlite3_step(m_statement.get());
    sqlite3_progress_handler(m_db, 0, nullptr, nullptr);
    return m_code == SQLITE_ROW;
}

bool BookQuery::run()
{
    while (next()) { }
    return m_code == SQLITE_DONE;
}

qint64 BookQuery::integer(int column) const
{
    return sqlite3_column_int64(m_statement.get(), column);
}

QString BookQuery::text(int column) const
{
    const auto *value = reinterpret_cast<const char *>(sqlite3_column_text(m_statement.get(), column));
    return value ? QString::fromUtf8(value, sqlite3_column_bytes(m_statement.get(), column)) : QString();
}

QDate BookQuery::date(int column) const
{
    return QDate::fromString(text(column), Qt::ISODate);
}

int BookQuery::bind(int index, const QVariant &value)
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

namespace {

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

// What a connection shows of its file: SQLite's code (SQLITE_DONE once read
// whole), the version and the schema.
struct Contents
{
    int code = SQLITE_OK;
    qint64 version = 0;
    QStringList schema;

    // A version the program does not know: negative, or made by a later one.
    bool unknownVersion() const { return version < 0 || version > AtariBook::SchemaVersion; }
    // A book of the program of a version it knows, exactly as its steps make it.
    bool isBook() const
    {
        return code == SQLITE_DONE && version >= 1 && !unknownVersion()
            && schema == expectedSchemas().at(int(version) - 1);
    }
};

Contents contentsOf(sqlite3 *db)
{
    Contents contents;
    BookQuery version(db, "PRAGMA user_version");
    if (!version.next()) {
        contents.code = version.code();
        return contents;
    }
    contents.version = version.integer(0);
    contents.code = schemaOf(db, contents.schema);
    return contents;
}

// The settings for a file from outside: SQLite's defensive ones, and no
// trigger or view of its own runs on the program's statements.
void defend(sqlite3 *db)
{
    sqlite3_extended_result_codes(db, 1);
    for (const int setting : {SQLITE_DBCONFIG_DEFENSIVE, SQLITE_DBCONFIG_TRUSTED_SCHEMA, SQLITE_DBCONFIG_ENABLE_TRIGGER,
             SQLITE_DBCONFIG_ENABLE_VIEW})
        sqlite3_db_config(db, setting, setting == SQLITE_DBCONFIG_DEFENSIVE ? 1 : 0, nullptr);
    // A value the program would take whole into memory.
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, MaxValueBytes);
}

// The name SQLite is given for file: UTF-8 on every system (on Windows the
// local code page would name another file, or none).
QByteArray sqliteName(const QString &file, bool immutable)
{
    return immutable ? QUrl::fromLocalFile(file).toEncoded() + "?immutable=1" : file.toUtf8();
}

// Whether the main file alone, its log beside it left unread, is a book: read
// as it stands, with no lock and nothing made or changed beside it.
bool mainFileIsBook(const QString &file)
{
    sqlite3 *opened = nullptr;
    const int code = sqlite3_open_v2(sqliteName(file, true).constData(), &opened,
        SQLITE_OPEN_READONLY | SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_URI, nullptr);
    const std::unique_ptr<sqlite3, CloseSqlite> db(opened);
    if (code != SQLITE_OK)
        return false;
    defend(db.get());
    return contentsOf(db.get()).isBook();
}

// Whether the program may write path: a file or a folder.
bool mayWrite(const QString &path)
{
    return platform::entryAt(path).processWrites;
}

// Whether something (a file, a folder, a link to nothing) is named path.
bool nameTaken(const QString &path)
{
    return platform::entryAt(path).kind != platform::EntryKind::Nothing;
}

} // namespace

void CloseSqlite::operator()(sqlite3 *db) const
{
    sqlite3_close_v2(db);
}

BookFile::BookFile(const QString &path, Access access, std::function<void(State)> stateChanged)
    : m_path(path)
    , m_access(access)
    , m_stateChanged(std::move(stateChanged))
{ }

BookFile::~BookFile() = default;

BookFile::State BookFile::open()
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
        if (again && m_state == State::Ready && m_stateChanged)
            m_stateChanged(m_state);
    }
    return m_state;
}

bool BookFile::canRead() const
{
    return m_state == State::Ready || m_state == State::ReadOnly || m_state == State::WriteFailed;
}

bool BookFile::canStartNew() const
{
    return m_access == Access::ReadWrite && (m_state == State::NotABook || m_state == State::Damaged);
}

QString BookFile::message() const
{
    return BookTexts::Message(m_state, m_reason, m_path);
}

QString BookFile::whyUnchangeable() const
{
    return m_state == State::ReadOnly ? BookTexts::Unchangeable(m_reason) : QString();
}

QString BookFile::newBookQuestion(const QDate &today) const
{
    return BookTexts::NewBookQuestion(BookAside::Name(m_path, today));
}

void BookFile::setState(State state, const QString &reason)
{
    m_reason = reason;
    if (state == m_state)
        return;
    m_state = state;
    // A book that cannot be used is let go once no statement runs on it.
    if (!canRead())
        m_stale = true;
    m_stateChanged(state);
}

bool BookFile::attach(bool create)
{
    settle();
    if (m_db)
        return true;
    const auto refuse = [this](State state, const QString &reason) {
        setState(state, reason);
        detach();
        return false;
    };
    // A link leads to a book the user keeps elsewhere; nothing is ever made at
    // its target. Only a plain file is opened: a FIFO would hold the program
    // in its opening for ever.
    using platform::EntryKind;
    const platform::Entry look = platform::entryAt(m_path);
    m_linked = look.kind == EntryKind::Link;
    const bool exists = look.target == EntryKind::File && look.processReads;
    const QString unreadable = exists                                         ? QString()
        : look.target == EntryKind::File || look.target == EntryKind::Unknown ? BookTexts::NoRead
        : m_linked && look.target == EntryKind::Nothing                       ? BookTexts::LinkToNoBook
        : look.target == EntryKind::Folder                                    ? BookTexts::FolderOfTheName
        : look.target == EntryKind::Other                                     ? BookTexts::NotAFile
                                                                              : QString();
    if (!unreadable.isEmpty())
        return refuse(State::Unreadable, unreadable);
    // No file yet: an empty book, made with its first card.
    if (!exists && (!create || m_access == Access::ReadOnly))
        return false;
    const QString file = exists ? QFileInfo(m_path).canonicalFilePath() : QFileInfo(m_path).absoluteFilePath();
    const QString folder = QFileInfo(file).absolutePath();
    // The book is always in write-ahead-log mode: a rollback journal beside it
    // is another database's, which SQLite would roll back into the book.
    if (exists && nameTaken(file + QStringLiteral("-journal")))
        return refuse(State::Damaged, BookTexts::ForeignJournal);
    // The folder is made with the first card (the user's folder may not be there yet).
    if (!exists && !platform::makeFolder(folder))
        return refuse(State::WriteFailed, BookTexts::NoFolder);
    // A look at a book no program has open (it has no log beside it) reads the
    // file as it stands: SQLite would leave an empty log and its index behind.
    const bool idle = m_access == Access::ReadOnly && !nameTaken(file + QStringLiteral("-wal"))
        && !nameTaken(file + QStringLiteral("-shm"));
    const bool fixed = idle || !mayWrite(folder) || (exists && !mayWrite(file));
    if (fixed && !exists)
        return refuse(State::ReadOnly, BookTexts::NoWrite);
    const bool writes = !fixed && m_access == Access::ReadWrite;

    // A book that cannot be written is read as it stands, with no lock and no
    // file made beside it: the folder may not take one, and one left behind
    // would stay read-only.
    const QByteArray target = sqliteName(file, fixed);
    // A log found beside the book may be another database's; one SQLite makes
    // on opening is the book's own.
    const bool logFound = !fixed && nameTaken(file + QStringLiteral("-wal"));
    // SQLite would delete a log beside an empty file: a book's log has a book.
    if (logFound && exists && QFileInfo(file).size() == 0)
        return refuse(State::Damaged, BookTexts::ForeignLog);
    const int flags = SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_EXRESCODE | SQLITE_OPEN_URI
        | (!writes ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | (exists ? 0 : SQLITE_OPEN_CREATE));
    sqlite3 *opened = nullptr;
    const int code = sqlite3_open_v2(target.constData(), &opened, flags, nullptr);
    m_db.reset(opened);
    if (code != SQLITE_OK) {
        failed(code, create);
        return refuse(m_state, m_reason);
    }
    sqlite3 *db = m_db.get();
    defend(db);
    sqlite3_busy_timeout(db, AtariBook::BusyTimeoutMs);
    // Until the file is known to be a book, closing it writes no log found
    // beside it into it.
    if (logFound)
        sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);

    m_logOf = logFound ? file : QString();
    m_version = inspect(create);
    // The statement ends at once: the journal mode changes only with none running.
    if (m_version >= 0) {
        BookQuery check(db, "PRAGMA quick_check");
        if (!check.next())
            failed(check.code(), false);
        else if (check.text(0) != u"ok")
            refuseFile(State::Damaged);
    }
    m_logOf.clear();
    if (m_version < 0 || !canRead())
        return refuse(m_state, m_reason);
    // A book of this program: its log goes into it when the last program lets go.
    if (m_access == Access::ReadWrite)
        sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 0, nullptr);
    if (fixed && m_version > 0 && m_version < AtariBook::SchemaVersion)
        return refuse(State::Unreadable, BookTexts::OldAndReadOnly);
    if (fixed && m_access == Access::ReadWrite)
        setState(State::ReadOnly, BookTexts::NoWrite);
    if (writes) {
        // The write-ahead log: readers and a writer in another program do not
        // wait for each other. FULL: each change is on the disk, the log's
        // name in the folder too, before it returns, and survives a power cut.
        // A file with nothing in it yet goes over through a journal in memory:
        // SQLite would make a -journal for the step, which a second program
        // looking at that moment would take for a stranger's.
        if (!exists || QFileInfo(file).size() == 0)
            BookQuery(db, "PRAGMA journal_mode = MEMORY").run();
        BookQuery(db, "PRAGMA journal_mode = WAL").run();
        BookQuery(db, "PRAGMA synchronous = FULL").run();
        // A book of an older version is brought up to date at once, so that
        // reading it needs no second way.
        if (m_version > 0 && m_version < AtariBook::SchemaVersion)
            change([] { return true; });
    }
    return canRead();
}

void BookFile::detach()
{
    m_db.reset();
    m_stale = false;
}

void BookFile::settle()
{
    if (m_stale)
        detach();
}

int BookFile::inspect(bool writing)
{
    const Contents found = contentsOf(m_db.get());
    if (found.code != SQLITE_DONE) {
        failed(found.code, writing);
        return -1;
    }
    if (found.version > AtariBook::SchemaVersion) {
        setState(State::TooNew);
        return -1;
    }
    // No version of the program makes it: a book it cannot use, kept as it is.
    if (found.unknownVersion()) {
        setState(State::Damaged, BookTexts::UnknownVersion);
        return -1;
    }
    // An empty file is a book not yet set up, unless a link leads to it.
    if (found.version == 0 && found.schema.isEmpty() && !m_linked)
        return 0;
    if (found.version == 0 && found.schema.isEmpty()) {
        setState(State::Unreadable, BookTexts::LinkToNoBook);
        return -1;
    }
    // Another program's database, or a book with a trigger or view added.
    if (!found.isBook()) {
        refuseFile(State::NotABook);
        return -1;
    }
    return int(found.version);
}

void BookFile::failed(int code, bool writing)
{
    const QString folder = QFileInfo(m_path).absolutePath();
    QString reason;
    switch (code & 0xff) {
    case SQLITE_NOTADB:
        return refuseFile(State::NotABook);
    case SQLITE_CORRUPT:
        return refuseFile(State::Damaged);
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
        // Also the card after the largest id there can be.
        reason = idsUsedUp() ? BookTexts::IdsUsedUp : BookTexts::DiskFull;
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
    case SQLITE_TOOBIG:
        if (!writing)
            return setState(State::Damaged, BookTexts::ValueTooLong);
        reason = BookTexts::ValueTooLong;
        break;
    case SQLITE_CANTOPEN:
        reason = mayWrite(folder) ? BookTexts::CannotOpen : BookTexts::NoWrite;
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

void BookFile::refuseFile(State state)
{
    // The main file alone a book: the log beside it is a stranger's.
    if (!m_logOf.isEmpty() && mainFileIsBook(m_logOf))
        return setState(State::Damaged, BookTexts::ForeignLog);
    setState(state);
}

bool BookFile::idsUsedUp() const
{
    if (!m_db)
        return false;
    BookQuery last(m_db.get(),
        "SELECT max(coalesce((SELECT seq FROM sqlite_sequence WHERE name = 'cards'), 0),"
        " coalesce((SELECT max(id) FROM cards), 0))");
    return last.next() && last.integer(0) == std::numeric_limits<qint64>::max();
}

bool BookFile::exec(const char *sql, const QList<QVariant> &values)
{
    BookQuery query(m_db.get(), sql, values);
    if (query.run())
        return true;
    m_code = query.code();
    return false;
}

bool BookFile::change(const std::function<bool()> &work)
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
    for (int v = std::max(version, 0); done && v < AtariBook::SchemaVersion; ++v) {
        for (const char *sql : Steps.at(v))
            done = done && exec(sql);
    }
    if (done && version < AtariBook::SchemaVersion)
        done = exec(QByteArray("PRAGMA user_version = " + QByteArray::number(AtariBook::SchemaVersion)).constData());
    done = done && work() && exec("COMMIT");
    if (done) {
        m_version = AtariBook::SchemaVersion;
        setState(State::Ready);
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

sqlite3 *BookFile::reading()
{
    open();
    if (!canRead() || !attach(false))
        return nullptr;
    // Set up by another program since it was opened?
    if (m_version == 0)
        m_version = std::max(inspect(false), 0);
    return m_version == AtariBook::SchemaVersion ? m_db.get() : nullptr;
}

void BookFile::readFailed(int code)
{
    failed(code, false);
}

Outcome<> BookFile::startNewBook(const QDate &today)
{
    if (!canStartNew())
        return {Ended::Failed, BookTexts::NotMovedAside({})};
    detach();
    const QString stranger = m_reason == BookTexts::ForeignJournal ? QStringLiteral("-journal")
        : m_reason == BookTexts::ForeignLog                        ? QStringLiteral("-wal")
                                                                   : QString();
    if (Outcome<> kept = BookAside::Keep(m_path, today, stranger); !kept.ok())
        return kept;
    m_version = 0;
    m_opened = true;
    setState(State::Ready);
    return {};
}
