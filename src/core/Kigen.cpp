#include "core/Kigen.h"
#include "core/modNengajo.h"

QDebug operator<<(QDebug debug, const KigenLine &line)
{
    return modNengajo::debugFields(debug, "KigenLine", line.text, line.urgent);
}

QString modNengajo::JapaneseDate(const QDate &date)
{
    if (!date.isValid())
        return {};
    return QStringLiteral("%1年%2月%3日").arg(date.year()).arg(date.month()).arg(date.day());
}

QString modNengajo::JapaneseDateWithWeekday(const QDate &date)
{
    if (!date.isValid())
        return {};
    static const QString weekdays = QStringLiteral("月火水木金土日");
    return JapaneseDate(date) + u'（' + weekdays.at(date.dayOfWeek() - 1) + u'）';
}

KigenLine modNengajo::KigenText(const QDate &today, const QDate &exchangeTo)
{
    if (!exchangeTo.isValid())
        return {};
    const QString last = JapaneseDate(exchangeTo);
    const qint64 days = today.daysTo(exchangeTo);
    if (days > 0) {
        return {QStringLiteral("賞品の引換は") + last + QStringLiteral("まで（あと") + QString::number(days)
                + QStringLiteral("日）"),
            days <= KigenUrgentDays};
    }
    if (days == 0)
        return {QStringLiteral("賞品の引換は本日") + last + QStringLiteral("までです"), true};
    return {QStringLiteral("賞品の引換期間は") + last + QStringLiteral("で終わりました"), true};
}

QString modNengajo::KikanText(const QDate &exchangeFrom, const QDate &exchangeTo)
{
    const QString title = QStringLiteral("引換期間：");
    if (!exchangeTo.isValid())
        return title + QStringLiteral("(なし)");
    return title + JapaneseDateWithWeekday(exchangeFrom) + u'～' + JapaneseDateWithWeekday(exchangeTo);
}
