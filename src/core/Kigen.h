#pragma once

#include <QDate>
#include <QDebug>
#include <QString>

// The prize-exchange deadline as the windows show it. Prizes are exchanged
// for six months after the draw; nothing is exchanged after the last day.

struct KigenLine
{
    QString text; // empty when the data give no last day
    bool urgent = false; // shown in red: the last day is near, today, or past

    bool operator==(const KigenLine &) const = default;
};
QDebug operator<<(QDebug debug, const KigenLine &line);

namespace modNengajo {

// The deadline is urgent from this many days before the last day.
inline constexpr int KigenUrgentDays = 14;

// "2026年7月21日"; empty text for a null date.
QString JapaneseDate(const QDate &date);
// "2026年1月20日（火）"; empty text for a null date.
QString JapaneseDateWithWeekday(const QDate &date);

// The main window's deadline line for today and the last day of the exchange.
KigenLine KigenText(const QDate &today, const QDate &exchangeTo);

// The prize list's exchange period: "引換期間：" + first day + "～" + last day,
// or "引換期間：(なし)" when there is no last day.
QString KikanText(const QDate &exchangeFrom, const QDate &exchangeTo);

} // namespace modNengajo
