#include "core/Reminder.h"

#include "core/Kigen.h"

#include <algorithm>

namespace {

QString countSentence(const Reminder::Due &due)
{
    return QStringLiteral("引換がまだの当たりはがきが") + QString::number(due.intCount)
        + QStringLiteral("枚あります。");
}

QString deadlineSentence(const Reminder::Due &due)
{
    const QString date = modNengajo::JapaneseDate(due.exchangeTo);
    // "まで" once, as the deadline line has it on the last day.
    if (due.intDaysLeft == 0)
        return QStringLiteral("賞品の引換は本日") + date + QStringLiteral("までです。");
    return QStringLiteral("賞品の引換は") + date + QStringLiteral("まで（あと") + QString::number(due.intDaysLeft)
        + QStringLiteral("日）です。");
}

} // namespace

QDebug Reminder::operator<<(QDebug debug, const Due &due)
{
    return modNengajo::debugFields(debug, "Due", due.exchangeTo, due.intDaysLeft, due.intCount, due.draws);
}

std::optional<Reminder::Due> Reminder::Check(
    const QDate &today, const QList<PendingDraw> &pending, const QDate &lastAsked)
{
    if (lastAsked == today)
        return std::nullopt;
    std::optional<Due> due;
    for (const PendingDraw &draw : pending) {
        if (!draw.draw.exchangeTo.isValid() || draw.intNotExchanged <= 0)
            continue;
        const qint64 left = today.daysTo(draw.draw.exchangeTo);
        if (left < 0 || left > DueDays)
            continue;
        if (!due || draw.draw.exchangeTo < due->exchangeTo)
            due = Due {draw.draw.exchangeTo, left, 0, {}};
        if (draw.draw.exchangeTo == due->exchangeTo) {
            due->intCount += draw.intNotExchanged;
            due->draws.append(draw.draw);
        }
    }
    return due;
}

QString Reminder::QuestionText(const Due &due)
{
    return countSentence(due) + modNengajo::CrLf + deadlineSentence(due) + modNengajo::CrLf
        + QStringLiteral("一覧を表示しますか？");
}

QString Reminder::NotificationBody(const Due &due)
{
    return countSentence(due) + deadlineSentence(due);
}

bool Reminder::OfferLoginReminder(
    const QDate &today, const QList<PendingDraw> &pending, std::optional<bool> answered, bool entryThere)
{
    return answered != false && !entryThere
        && std::any_of(pending.cbegin(), pending.cend(), [&today](const PendingDraw &draw) {
               return draw.intNotExchanged > 0 && draw.draw.exchangeTo.isValid() && draw.draw.exchangeTo >= today;
           });
}
