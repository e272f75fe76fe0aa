#include "core/AtariBook.h"

#include "platform/filewrite.h"
#include "platform/programfolder.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStorageInfo>
#include <QThreadPool>
#include <QUrl>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QString Driver = QStringLiteral("QSQLITE");
// How long a change waits for another program that is writing the same book.
const QString BusyTimeout = QStringLiteral("QSQLITE_BUSY_TIMEOUT=") + QString::number(AtariBook::BusyTimeoutMs);
const QString BookName = QStringLiteral("当たったはがきの記録（atari.db）");
// Side files SQLite keeps beside the book; they belong to it and move with it.
const QStringList SideSuffixes = {QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")};

// Below this the disk counts as full when SQLite reports a failed write.
constexpr qint64 FullDiskBytes = 1024 * 1024;

// The steps from one version of the book to the next: step i makes version i + 1.
// A later version appends its step; a book is brought up to date in one
// transaction at the first change.
const QList<QStringList> Steps = {
    {
        QStringLiteral("CREATE TABLE draws ("
                       " id INTEGER PRIMARY KEY,"
                       " card_type TEXT NOT NULL,"
                       " draw_year TEXT NOT NULL,"
                       " data_file TEXT NOT NULL,"
                       " exchange_to TEXT,"
                       " UNIQUE (card_type, draw_year))"),
        // AUTOINCREMENT: the id of a deleted card is never given to another.
        QStringLiteral("CREATE TABLE cards ("
                       " id INTEGER PRIMARY KEY AUTOINCREMENT,"
                       " draw_id INTEGER NOT NULL REFERENCES draws (id),"
                       " number TEXT NOT NULL,"
                       " class INTEGER NOT NULL CHECK (class > 0),"
                       " prize TEXT NOT NULL,"
                       " judged_at TEXT NOT NULL,"
                       " sender TEXT NOT NULL DEFAULT '',"
                       " exchanged_on TEXT)"),
        // A six-digit number is one postcard; "****73" may be many.
        QStringLiteral("CREATE UNIQUE INDEX cards_once ON cards (draw_id, number) WHERE instr(number, '*') = 0"),
        QStringLiteral("CREATE INDEX cards_of_draw ON cards (draw_id)"),
    },
};
static_assert(AtariBook::SchemaVersion == 1, "one step for each version");

// SQLite's primary result codes that the book tells apart.
enum SqliteCode {
    SqlitePerm = 3,
    SqliteBusy = 5,
    SqliteLocked = 6,
    SqliteNoMem = 7,
    SqliteReadOnly = 8,
    SqliteIoErr = 10,
    SqliteCorrupt = 11,
    SqliteFull = 13,
    SqliteCantOpen = 14,
    SqliteAuth = 23,
    SqliteNotADb = 26,
};
// SQLITE_READONLY_DBMOVED: the file was renamed or deleted under the connection.
constexpr int SqliteReadOnlyDbMoved = SqliteReadOnly | (4 << 8);

QString nonNull(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

QVariant dateValue(const QDate &date)
{
    return date.isValid() ? QVariant(date.toString(Qt::ISODate)) : QVariant();
}

QDate dateOf(const QVariant &value)
{
    return value.isNull() ? QDate() : QDate::fromString(value.toString(), Qt::ISODate);
}

// The book's folder, for QStorageInfo and for syncing the folder's entries.
QString folderOf(const QString &path)
{
    return QFileInfo(path).absolutePath();
}

} // namespace

// Every change is committed before it returns and survives the program's
// crash; a background flush of the write-ahead log to the disk then lets it
// survive a power cut, without the judgement waiting for the disk.
class WalSync
{
public:
    WalSync(const QString &walPath, const QString &folder)
        : m_wal(QFile::encodeName(walPath))
        , m_folder(QFile::encodeName(folder))
    {
        m_pool.setMaxThreadCount(1);
    }
    ~WalSync() { m_pool.waitForDone(); }
    WalSync(const WalSync &) = delete;
    WalSync &operator=(const WalSync &) = delete;

    void request()
    {
        QMutexLocker lock(&m_mutex);
        ++m_requested;
        if (m_running)
            return;
        m_running = true;
        m_pool.start([this] { run(); });
    }

private:
    void run()
    {
        for (;;) {
            quint64 target = 0;
            bool folderToo = false;
            {
                QMutexLocker lock(&m_mutex);
                if (m_done == m_requested) {
                    m_running = false;
                    return;
                }
                target = m_requested;
                folderToo = std::exchange(m_folderPending, false);
            }
            syncFile(m_wal, false);
            // The log is made anew by the first change after opening: its
            // name in the folder must reach the disk too.
            if (folderToo)
                syncFile(m_folder, true);
            QMutexLocker lock(&m_mutex);
            m_done = target;
        }
    }

    // A descriptor of its own: closing it drops every POSIX lock the program
    // holds on that file, and SQLite locks the book and its -shm file, never
    // the log.
    static void syncFile(const QByteArray &path, bool folder)
    {
        const int fd = ::open(path.constData(), (folder ? O_DIRECTORY : 0) | O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return;
        if (folder)
            ::fsync(fd);
        else
            ::fdatasync(fd);
        ::close(fd);
    }

    const QByteArray m_wal;
    const QByteArray m_folder;
    QMutex m_mutex;
    quint64 m_requested = 0;
    quint64 m_done = 0;
    bool m_running = false;
    bool m_folderPending = true;
    QThreadPool m_pool;
};

AtariDraw AtariDraw::of(const WinningData &data)
{
    return {data.strType, data.strYear, data.strFileName, data.exchangeTo};
}

AtariBook::AtariBook(const QString &path, QObject *parent)
    : QObject(parent)
    , m_path(path)
{
    static QAtomicInteger<quint64> count;
    m_connection = QStringLiteral("harovan-atari-book-%1").arg(count.fetchAndAddRelaxed(1));
}

AtariBook::~AtariBook()
{
    detach();
}

AtariBook::State AtariBook::open()
{
    if (!m_opened) {
        m_opened = true;
        attach(false);
    }
    return m_state;
}

bool AtariBook::canRead() const
{
    return m_state == State::Ready || m_state == State::ReadOnly || m_state == State::WriteFailed;
}

QString AtariBook::message() const
{
    const QString withoutBook
        = QStringLiteral("はがきのチェックはこのまま続けられますが、当たったはがきは記録されません。");
    QString text;
    switch (m_state) {
    case State::Ready:
        return {};
    case State::ReadOnly:
        text = BookName + QStringLiteral("に書き込めません。") + m_reason + QStringLiteral("。") + modNengajo::CrLf
            + QStringLiteral(
                "記録してある当たりはがきは一覧に表示されますが、新しい当たりはがきや引換の印は記録されません。");
        break;
    case State::WriteFailed:
        text = BookName + QStringLiteral("に書き込めませんでした。") + m_reason + QStringLiteral("。")
            + modNengajo::CrLf
            + QStringLiteral("今の変更は記録されていません。はがきのチェックはこのまま続けられます。");
        break;
    case State::NotABook:
        text = BookName + QStringLiteral("を開けません。Harovanの記録ではないファイルです。") + modNengajo::CrLf
            + withoutBook;
        break;
    case State::Damaged:
        text = BookName + QStringLiteral("を開けません。ファイルが壊れています。") + modNengajo::CrLf + withoutBook;
        break;
    case State::TooNew:
        text = BookName
            + QStringLiteral("を開けません。新しい版のHarovanで作られた記録です。新しい版のHarovanをお使いください。")
            + modNengajo::CrLf + withoutBook;
        break;
    case State::Unreadable:
        text = BookName + QStringLiteral("を開けません。") + m_reason + QStringLiteral("。") + modNengajo::CrLf
            + withoutBook;
        break;
    }
    return text + modNengajo::CrLf + modNengajo::CrLf + QDir::toNativeSeparators(m_path);
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
    if (m_attached)
        return true;
    const QFileInfo info(m_path);
    const bool exists = info.exists();
    // No file yet: an empty book, made with its first card.
    if (!exists && !create)
        return false;
    if (!QSqlDatabase::isDriverAvailable(Driver)) {
        setState(State::Unreadable, QStringLiteral("SQLiteのデータベースドライバー（libqt6sql6-sqlite）がありません"));
        return false;
    }
    if (info.isDir()) {
        setState(State::Unreadable, QStringLiteral("同じ名前のフォルダーがあります"));
        return false;
    }
    if (exists && !info.isReadable()) {
        setState(State::Unreadable, QStringLiteral("読み込みが許可されていません"));
        return false;
    }
    // The folder is made with the first card (the user's folder may not be
    // there yet); a book that cannot be written is read as it stands, with no
    // lock and no file made beside it: the folder may not take one, and one
    // left behind would stay read-only.
    const QString folder = folderOf(m_path);
    if (!exists && !platform::makeFolder(folder)) {
        setState(State::WriteFailed, QStringLiteral("記録のフォルダーを作れません"));
        return false;
    }
    const bool writable = QFileInfo(folder).isWritable() && (!exists || info.isWritable());
    if (!writable && !exists) {
        setState(State::ReadOnly, QStringLiteral("書き込みが許可されていません"));
        return false;
    }

    {
        QSqlDatabase db = QSqlDatabase::addDatabase(Driver, m_connection);
        if (writable) {
            db.setDatabaseName(m_path);
            db.setConnectOptions(BusyTimeout);
        } else {
            db.setDatabaseName(QUrl::fromLocalFile(info.absoluteFilePath()).toString(QUrl::FullyEncoded)
                + QStringLiteral("?immutable=1"));
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI;") + BusyTimeout);
        }
        m_attached = db.open();
        if (!m_attached) {
            const QSqlError error = db.lastError();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_connection);
            failed(error.nativeErrorCode(), error.databaseText(), create);
            return false;
        }
    }
    if (!checkOpened(!writable)) {
        detach();
        return false;
    }
    if (!writable)
        setState(State::ReadOnly, QStringLiteral("書き込みが許可されていません"));
    // A book of an older version is brought up to date at once, so that
    // reading it needs no second way.
    if (writable && m_version > 0 && m_version < SchemaVersion)
        change([](QSqlQuery &) { return true; });
    return canRead();
}

bool AtariBook::checkOpened(bool readOnly)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
        failed(query.lastError().nativeErrorCode(), query.lastError().databaseText(), false);
        return false;
    }
    m_version = query.value(0).toInt();
    if (m_version > SchemaVersion) {
        setState(State::TooNew);
        return false;
    }
    if (m_version == 0) {
        // An empty file is a book not yet set up; a database with tables but
        // no version is another program's.
        if (!query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !query.next()) {
            failed(query.lastError().nativeErrorCode(), query.lastError().databaseText(), false);
            return false;
        }
        if (query.value(0).toInt() > 0) {
            setState(State::NotABook);
            return false;
        }
    }
    if (!query.exec(QStringLiteral("PRAGMA quick_check")) || !query.next()) {
        failed(query.lastError().nativeErrorCode(), query.lastError().databaseText(), false);
        return false;
    }
    if (query.value(0).toString() != u"ok") {
        setState(State::Damaged);
        return false;
    }
    if (readOnly) {
        if (m_version < SchemaVersion && m_version > 0) {
            setState(State::Unreadable, QStringLiteral("古い版の記録で、書き込みが許可されていないため読めません"));
            return false;
        }
        return true;
    }
    // The write-ahead log: a change is one append to the log, readers and a
    // writer in another program do not wait for each other, and the log
    // reaches the disk in the background (WalSync). Where the file system
    // takes no log, every change waits for the disk instead.
    const bool wal = query.exec(QStringLiteral("PRAGMA journal_mode = WAL")) && query.next()
        && query.value(0).toString() == u"wal";
    query.exec(wal ? QStringLiteral("PRAGMA synchronous = NORMAL") : QStringLiteral("PRAGMA synchronous = FULL"));
    if (wal)
        m_sync = std::make_unique<WalSync>(m_path + QStringLiteral("-wal"), folderOf(m_path));
    return true;
}

void AtariBook::detach()
{
    // The log is on the disk before the connection checkpoints it and goes.
    m_sync.reset();
    if (QSqlDatabase::contains(m_connection)) {
        QSqlDatabase::database(m_connection, false).close();
        QSqlDatabase::removeDatabase(m_connection);
    }
    m_attached = false;
    m_stale = false;
}

void AtariBook::failed(const QString &sqlCode, const QString &sqlText, bool writing)
{
    const int code = sqlCode.toInt();
    QString reason;
    switch (code & 0xff) {
    case SqliteNotADb:
        setState(State::NotABook);
        return;
    case SqliteCorrupt:
        setState(State::Damaged);
        return;
    case SqliteReadOnly:
        if (code == SqliteReadOnlyDbMoved) {
            // Moved aside by another program: the next change opens the book
            // now at the path.
            m_stale = true;
            reason = QStringLiteral("記録のファイルがほかのプログラムに移されました");
            break;
        }
        if (writing) {
            setState(State::ReadOnly, QStringLiteral("書き込みが許可されていません"));
            return;
        }
        reason = QStringLiteral("書き込みが許可されていません");
        break;
    case SqlitePerm:
    case SqliteAuth:
        reason
            = writing ? QStringLiteral("書き込みが許可されていません") : QStringLiteral("読み込みが許可されていません");
        break;
    case SqliteFull:
        reason = QStringLiteral("ディスクの空きがありません");
        break;
    case SqliteIoErr:
        reason = QStorageInfo(folderOf(m_path)).bytesAvailable() < FullDiskBytes
            ? QStringLiteral("ディスクの空きがありません")
            : QStringLiteral("ディスクの読み書きに失敗しました");
        break;
    case SqliteBusy:
    case SqliteLocked:
        reason = QStringLiteral("ほかのプログラムが記録を使用中です");
        break;
    case SqliteNoMem:
        reason = QStringLiteral("メモリが足りません");
        break;
    case SqliteCantOpen:
        reason = QFileInfo(folderOf(m_path)).isWritable() ? QStringLiteral("ファイルを開けません")
                                                          : QStringLiteral("書き込みが許可されていません");
        break;
    default:
        reason = QStringLiteral("記録を読み書きできませんでした（") + sqlText + u'）';
        break;
    }
    setState(writing ? State::WriteFailed : State::Unreadable, reason);
}

bool AtariBook::exec(QSqlQuery &query, const QString &sql, const QVariantList &values)
{
    bool done = false;
    if (values.isEmpty()) {
        done = query.exec(sql);
    } else if (query.prepare(sql)) {
        for (const QVariant &value : values)
            query.addBindValue(value);
        done = query.exec();
    }
    if (!done)
        m_error = query.lastError();
    return done;
}

bool AtariBook::change(const std::function<bool(QSqlQuery &)> &work)
{
    open();
    if (m_state != State::Ready && m_state != State::WriteFailed)
        return false;
    if (!attach(true))
        return false;
    m_error = QSqlError();
    bool done = false;
    {
        QSqlQuery query(QSqlDatabase::database(m_connection, false));
        // IMMEDIATE: the write lock is taken (or waited for) before anything
        // is read, so two programs never both read and then find they cannot
        // write.
        done = exec(query, QStringLiteral("BEGIN IMMEDIATE")) && upToDate(query) && work(query)
            && exec(query, QStringLiteral("COMMIT"));
        if (!done) {
            const QSqlError error = m_error;
            query.exec(QStringLiteral("ROLLBACK"));
            m_error = error;
        }
    }
    if (done) {
        m_version = SchemaVersion;
        if (m_sync)
            m_sync->request();
        setState(State::Ready);
        emit changed();
        return true;
    }
    if (m_error.isValid() && (m_state == State::Ready || m_state == State::WriteFailed))
        failed(m_error.nativeErrorCode(), m_error.databaseText(), true);
    settle();
    return false;
}

bool AtariBook::upToDate(QSqlQuery &query)
{
    // Inside the change: another program may have made or upgraded the file
    // since it was opened.
    if (!exec(query, QStringLiteral("PRAGMA user_version")) || !query.next())
        return false;
    const int version = query.value(0).toInt();
    if (version > SchemaVersion) {
        setState(State::TooNew);
        return false;
    }
    if (version == SchemaVersion)
        return true;
    if (version == 0) {
        if (!exec(query, QStringLiteral("SELECT count(*) FROM sqlite_master")) || !query.next())
            return false;
        if (query.value(0).toInt() > 0) {
            setState(State::NotABook);
            return false;
        }
    }
    for (int v = version; v < SchemaVersion; ++v) {
        for (const QString &sql : Steps.at(v)) {
            if (!exec(query, sql))
                return false;
        }
    }
    return exec(query, QStringLiteral("PRAGMA user_version = %1").arg(SchemaVersion));
}

void AtariBook::settle()
{
    if (m_stale)
        detach();
}

bool AtariBook::readable()
{
    open();
    if (!canRead() || !attach(false))
        return false;
    if (m_version == 0) {
        // Set up by another program since it was opened?
        QSqlQuery query(QSqlDatabase::database(m_connection, false));
        if (!this->query(query, QStringLiteral("PRAGMA user_version")) || !query.next())
            return false;
        m_version = query.value(0).toInt();
        if (m_version > SchemaVersion) {
            setState(State::TooNew);
            return false;
        }
    }
    return m_version == SchemaVersion;
}

bool AtariBook::query(QSqlQuery &query, const QString &sql, const QVariantList &values)
{
    if (exec(query, sql, values))
        return true;
    failed(m_error.nativeErrorCode(), m_error.databaseText(), false);
    return false;
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
    const bool done = change([&](QSqlQuery &query) {
        if (!exec(query,
                QStringLiteral("INSERT INTO draws (card_type, draw_year, data_file, exchange_to) VALUES (?, ?, ?, ?)"
                               " ON CONFLICT (card_type, draw_year) DO UPDATE SET data_file = excluded.data_file,"
                               " exchange_to = coalesce(excluded.exchange_to, exchange_to)"),
                {nonNull(draw.strType), nonNull(draw.strYear), nonNull(draw.strFileName), dateValue(draw.exchangeTo)}))
            return false;
        if (!exec(query,
                QStringLiteral("INSERT INTO cards (draw_id, number, class, prize, judged_at)"
                               " SELECT id, ?, ?, ?, ? FROM draws WHERE card_type = ? AND draw_year = ?"
                               " ON CONFLICT DO NOTHING"),
                {nonNull(strNumber), intToukyu, nonNull(strSyouhin),
                    judgedAt.toOffsetFromUtc(judgedAt.offsetFromUtc()).toString(Qt::ISODate), nonNull(draw.strType),
                    nonNull(draw.strYear)}))
            return false;
        added = query.numRowsAffected() == 1 ? Added::Added : Added::AlreadyInBook;
        if (added == Added::Added)
            entered = query.lastInsertId().toLongLong();
        return true;
    });
    if (done && id)
        *id = entered;
    return done ? added : Added::NotSaved;
}

QList<AtariCard> AtariBook::cards(const AtariDraw &draw)
{
    QList<AtariCard> cards;
    if (readable()) {
        QSqlQuery rows(QSqlDatabase::database(m_connection, false));
        rows.setForwardOnly(true);
        if (query(rows,
                QStringLiteral("SELECT c.id, c.number, c.class, c.prize, c.judged_at, c.sender, c.exchanged_on"
                               " FROM cards AS c JOIN draws AS d ON d.id = c.draw_id"
                               " WHERE d.card_type = ? AND d.draw_year = ? ORDER BY c.id"),
                {nonNull(draw.strType), nonNull(draw.strYear)})) {
            while (rows.next()) {
                cards.append(
                    {rows.value(0).toLongLong(), rows.value(1).toString(), static_cast<qint16>(rows.value(2).toInt()),
                        rows.value(3).toString(), QDateTime::fromString(rows.value(4).toString(), Qt::ISODate),
                        rows.value(5).toString(), dateOf(rows.value(6))});
            }
        }
    }
    settle();
    return cards;
}

AtariCounts AtariBook::counts(const AtariDraw &draw)
{
    AtariCounts counts;
    if (readable()) {
        QSqlQuery row(QSqlDatabase::database(m_connection, false));
        if (query(row,
                QStringLiteral("SELECT count(c.id), coalesce(sum(c.exchanged_on IS NULL), 0)"
                               " FROM cards AS c JOIN draws AS d ON d.id = c.draw_id"
                               " WHERE d.card_type = ? AND d.draw_year = ?"),
                {nonNull(draw.strType), nonNull(draw.strYear)})
            && row.next())
            counts = {row.value(0).toInt(), row.value(1).toInt()};
    }
    settle();
    return counts;
}

QList<PendingDraw> AtariBook::pendingDraws()
{
    QList<PendingDraw> pending;
    if (readable()) {
        QSqlQuery rows(QSqlDatabase::database(m_connection, false));
        rows.setForwardOnly(true);
        if (query(rows, QString::fromLatin1(PendingDrawsQuery))) {
            while (rows.next()) {
                pending.append({{rows.value(0).toString(), rows.value(1).toString(), rows.value(2).toString(),
                                    dateOf(rows.value(3))},
                    rows.value(4).toInt()});
            }
        }
    }
    settle();
    return pending;
}

bool AtariBook::noteDraw(const AtariDraw &draw)
{
    bool same = true;
    if (readable()) {
        QSqlQuery row(QSqlDatabase::database(m_connection, false));
        if (!query(row,
                QStringLiteral("SELECT data_file, exchange_to FROM draws WHERE card_type = ? AND draw_year = ?"),
                {nonNull(draw.strType), nonNull(draw.strYear)}))
            same = false;
        else if (row.next())
            same = row.value(0).toString() == draw.strFileName
                && (!draw.exchangeTo.isValid() || dateOf(row.value(1)) == draw.exchangeTo);
    }
    settle();
    if (!canRead())
        return false;
    if (same)
        return true;
    return change([&](QSqlQuery &query) {
        return exec(query,
            QStringLiteral("UPDATE draws SET data_file = ?, exchange_to = coalesce(?, exchange_to)"
                           " WHERE card_type = ? AND draw_year = ?"),
            {nonNull(draw.strFileName), dateValue(draw.exchangeTo), nonNull(draw.strType), nonNull(draw.strYear)});
    });
}

bool AtariBook::changeEach(const QString &sql, const QList<QVariantList> &rows)
{
    return change([&](QSqlQuery &query) {
        for (const QVariantList &values : rows) {
            if (!exec(query, sql, values))
                return false;
        }
        return true;
    });
}

bool AtariBook::setExchanged(const QList<qint64> &ids, const QDate &date)
{
    QList<QVariantList> rows;
    for (const qint64 id : ids)
        rows.append({dateValue(date), id});
    return changeEach(QStringLiteral("UPDATE cards SET exchanged_on = ? WHERE id = ? AND exchanged_on IS NULL"), rows);
}

bool AtariBook::clearExchanged(const QList<qint64> &ids)
{
    QList<QVariantList> rows;
    for (const qint64 id : ids)
        rows.append(QVariantList {id});
    return changeEach(QStringLiteral("UPDATE cards SET exchanged_on = NULL WHERE id = ?"), rows);
}

bool AtariBook::setSender(qint64 id, const QString &strSender)
{
    return changeEach(QStringLiteral("UPDATE cards SET sender = ? WHERE id = ?"), {{nonNull(strSender), id}});
}

bool AtariBook::remove(const QList<qint64> &ids)
{
    QList<QVariantList> rows;
    for (const qint64 id : ids)
        rows.append(QVariantList {id});
    return changeEach(QStringLiteral("DELETE FROM cards WHERE id = ?"), rows);
}

QString AtariBook::asideName(const QDate &today) const
{
    const QFileInfo info(m_path);
    const QString base = info.fileName() + QStringLiteral(".damaged-") + today.toString(QStringLiteral("yyyyMMdd"));
    const auto taken = [&](const QString &name) {
        const QString path = info.dir().filePath(name);
        if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
            return true;
        for (const QString &suffix : SideSuffixes) {
            if (QFileInfo::exists(path + suffix))
                return true;
        }
        return false;
    };
    QString name = base;
    for (int n = 2; taken(name); ++n)
        name = base + u'-' + QString::number(n);
    return name;
}

QString AtariBook::newBookQuestion(const QDate &today) const
{
    return QStringLiteral("新しい記録を始めますか？") + modNengajo::CrLf + QStringLiteral("今のファイルは「")
        + asideName(today) + QStringLiteral("」という名前で同じフォルダーに残します。");
}

QString AtariBook::startNewBook(const QDate &today)
{
    const QString failure = BookName + QStringLiteral("の名前を変えられませんでした。");
    if (!canStartNew())
        return failure;
    detach();
    const QDir folder = QFileInfo(m_path).dir();
    const QString aside = folder.filePath(asideName(today));
    // The book first, then its journal under the same name, so SQLite finds
    // them together; should one not move, everything moved goes back: a
    // journal left beside a new book would be read into it.
    QList<std::pair<QString, QString>> moved;
    QFile file(m_path);
    if (!file.rename(aside))
        return failure + modNengajo::CrLf + platform::systemErrorText(errno);
    moved.append({m_path, aside});
    for (const QString &suffix : SideSuffixes) {
        QFile side(m_path + suffix);
        if (!side.exists())
            continue;
        if (!side.rename(aside + suffix)) {
            const QString reason = platform::systemErrorText(errno);
            for (const auto &[from, to] : moved)
                QFile::rename(to, from);
            return failure + modNengajo::CrLf + reason;
        }
        moved.append({m_path + suffix, aside + suffix});
    }
    m_version = 0;
    m_opened = true;
    setState(State::Ready);
    emit changed();
    return {};
}
