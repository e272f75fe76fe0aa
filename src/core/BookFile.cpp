#include "core/BookFile.h"

#include <sqlite3.h>

#include <memory>

namespace {

struct CloseDatabase
{
    void operator()(sqlite3 *db) const { sqlite3_close(db); }
};
struct FinalizeStatement
{
    void operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
};
using Database = std::unique_ptr<sqlite3, CloseDatabase>;
using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

Statement prepare(sqlite3 *db, const char *sql)
{
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        return nullptr;
    }
    return Statement(statement);
}

QString text(sqlite3_stmt *statement, int column)
{
    const auto *value = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
    return value ? QString::fromUtf8(value, sqlite3_column_bytes(statement, column)) : QString();
}

} // namespace

QList<PendingDraw> BookFile::PendingDraws(const QString &path)
{
    sqlite3 *opened = nullptr;
    const int status
        = sqlite3_open_v2(path.toUtf8().constData(), &opened, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOFOLLOW, nullptr);
    const Database db(opened);
    if (status != SQLITE_OK)
        return {};
    // The program may be writing it: the reader waits a moment for the lock.
    sqlite3_busy_timeout(db.get(), AtariBook::BusyTimeoutMs);

    const Statement version = prepare(db.get(), "PRAGMA user_version");
    if (!version || sqlite3_step(version.get()) != SQLITE_ROW)
        return {};
    const int schema = sqlite3_column_int(version.get(), 0);
    // Version 0 is a file not yet set up, or another program's database.
    if (schema < 1 || schema > AtariBook::SchemaVersion)
        return {};

    const Statement rows = prepare(db.get(), AtariBook::PendingDrawsQuery);
    if (!rows)
        return {};
    QList<PendingDraw> pending;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(rows.get())) == SQLITE_ROW) {
        pending.append({{text(rows.get(), 0), text(rows.get(), 1), text(rows.get(), 2),
                            QDate::fromString(text(rows.get(), 3), Qt::ISODate)},
            sqlite3_column_int(rows.get(), 4)});
    }
    // A book damaged on the way lists nothing rather than part of it.
    return step == SQLITE_DONE ? pending : QList<PendingDraw> {};
}
