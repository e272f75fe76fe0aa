#include "core/AtariBook.h"

#include "core/BookFile.h"

#include <QStringList>
#include <QVariant>

#include <sqlite3.h>

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

} // namespace

AtariDraw AtariDraw::of(const WinningData &data)
{
    return {data.strType, data.strYear, data.strFileName, data.exchangeTo};
}

AtariBook::AtariBook(const QString &path, Access access, QObject *parent)
    : QObject(parent)
    , m_file(std::make_unique<BookFile>(path, access, [this](State state) { emit stateChanged(state); }))
{ }

AtariBook::~AtariBook() = default;

AtariBook::State AtariBook::open()
{
    return m_file->open();
}

AtariBook::State AtariBook::state() const
{
    return m_file->state();
}

bool AtariBook::canRead() const
{
    return m_file->canRead();
}

bool AtariBook::canStartNew() const
{
    return m_file->canStartNew();
}

QString AtariBook::message() const
{
    return m_file->message();
}

QString AtariBook::whyUnchangeable() const
{
    return m_file->whyUnchangeable();
}

QString AtariBook::newBookQuestion(const QDate &today) const
{
    return m_file->newBookQuestion(today);
}

bool AtariBook::exec(const char *sql, const QList<QVariant> &values)
{
    return m_file->exec(sql, values);
}

bool AtariBook::change(const std::function<bool()> &work)
{
    if (!m_file->change(work))
        return false;
    emit changed();
    return true;
}

bool AtariBook::read(const char *sql, const QList<QVariant> &values, const std::function<void(const BookQuery &)> &take)
{
    bool done = false;
    if (sqlite3 *db = m_file->reading()) {
        BookQuery rows(db, sql, values);
        while (rows.next())
            take(rows);
        done = rows.code() == SQLITE_DONE;
        if (!done)
            m_file->readFailed(rows.code());
    }
    m_file->settle();
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
        added = sqlite3_changes(m_file->db()) == 1 ? Added::Added : Added::AlreadyInBook;
        if (added == Added::Added)
            entered = sqlite3_last_insert_rowid(m_file->db());
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

Outcome<> AtariBook::startNewBook(const QDate &today)
{
    const Outcome<> started = m_file->startNewBook(today);
    if (started.ok())
        emit changed();
    return started;
}
