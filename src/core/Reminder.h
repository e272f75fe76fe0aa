#pragma once

#include "core/AtariBook.h"

#include <QDate>
#include <QDebug>
#include <QList>
#include <QString>

#include <optional>

// When the program reminds the user of won cards not yet exchanged: the
// question at start-up and the notification at login, which share the date
// asked last (Settings::reminded) so the user is asked once a day at most.
namespace Reminder {

// A draw is due from this many days before its last exchange day (あと30日)
// to the last day itself.
inline constexpr int DueDays = 30;

// What to remind of: the nearest last exchange day among the draws due, and
// the cards not yet exchanged of every draw ending that day.
struct Due
{
    QDate exchangeTo;
    qint64 intDaysLeft = 0; // 0 on the last day
    int intCount = 0;
    QList<AtariDraw> draws;

    bool operator==(const Due &) const = default;
};
QDebug operator<<(QDebug debug, const Due &due);

// Nothing when lastAsked is today, or when no draw with cards not yet
// exchanged ends between today and DueDays days from today; draws without a
// last exchange day are never due.
std::optional<Due> Check(const QDate &today, const QList<PendingDraw> &pending, const QDate &lastAsked);

// "引換がまだの当たりはがきがN枚あります。" CR LF "賞品の引換はYYYY年M月D日まで（あとN日）です。"
// CR LF "一覧を表示しますか？"; on the last day "賞品の引換は本日YYYY年M月D日までです。".
QString QuestionText(const Due &due);
// The same two sentences on one line, for a desktop notification.
QString NotificationBody(const Due &due);
inline const QString NotificationSummary = QStringLiteral("お年玉賞品の引換期限が近づいています");

// The login reminder (a notification when the user logs in, see
// core/LoginEntry.h) is offered when the program is closed: while nothing
// is at the entry's place, the user has not said no (answered: nothing when
// never; a yes whose entry has gone since is asked about again), and the book
// holds cards not yet exchanged of a draw whose exchange is still open (its
// last day today or later).
bool OfferLoginReminder(
    const QDate &today, const QList<PendingDraw> &pending, std::optional<bool> answered, bool entryThere);
inline const QString LoginReminderQuestion
    = QStringLiteral("引換期限が近づいたら、ログインしたときにお知らせしますか？");

} // namespace Reminder
