#include "core/AtariCalendar.h"

#include "core/AtariList.h"
#include "core/Kigen.h"
#include "core/NewData.h"
#include "core/modNengajo.h"

#include <QCryptographicHash>
#include <QStringList>

namespace {

QByteArray line(const QString &name, const QString &value)
{
    return AtariCalendar::FoldLine((name + u':' + value).toUtf8());
}

QString utcText(const QDateTime &moment)
{
    return moment.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
}

QString dateText(const QDate &date)
{
    return date.toString(QStringLiteral("yyyyMMdd"));
}

// The cards not yet exchanged, one a line: number, class, prize (and the
// sender where the user wrote one), then the deadline.
QString description(const AtariDraw &draw, const QList<AtariCard> &cards)
{
    QStringList lines;
    for (const AtariCard &card : cards) {
        if (card.exchangedOn.isValid())
            continue;
        QString text = card.strNumber + u'　' + AtariList::ResultText(card.intToukyu) + u'　'
            + AtariList::SyouhinText(card.strSyouhin);
        if (!card.strSender.isEmpty())
            text += QStringLiteral("（差出人 ") + card.strSender + u'）';
        lines.append(text);
    }
    lines.prepend(QStringLiteral("引換がまだの当たりはがき ") + QString::number(lines.size()) + u'枚');
    lines.append(
        QStringLiteral("賞品の引換は") + modNengajo::JapaneseDate(draw.exchangeTo) + QStringLiteral("までです。"));
    return lines.join(u'\n');
}

QByteArray alarm(const QString &trigger, const QString &text)
{
    return line(QStringLiteral("BEGIN"), QStringLiteral("VALARM"))
        + line(QStringLiteral("ACTION"), QStringLiteral("DISPLAY"))
        + line(QStringLiteral("DESCRIPTION"), AtariCalendar::EscapeText(text))
        + line(QStringLiteral("TRIGGER"), trigger) + line(QStringLiteral("END"), QStringLiteral("VALARM"));
}

} // namespace

QString AtariCalendar::Caption(const AtariDraw &draw)
{
    return QStringLiteral("お年玉賞品の引換期限（") + draw.strType + u' ' + modNengajo::EraYearText(draw.strYear)
        + QStringLiteral("年度）");
}

QString AtariCalendar::FileName(const AtariDraw &draw)
{
    return modNengajo::FileNameOf(Caption(draw)) + QStringLiteral(".ics");
}

QString AtariCalendar::Uid(const AtariDraw &draw)
{
    // The type and year alone: a corrected data file or a moved deadline
    // stays the same event.
    const QByteArray key = (draw.strType + u'\n' + draw.strYear).toUtf8();
    const QByteArray hash = QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(32);
    return QStringLiteral("harovan-exchange-") + QString::fromLatin1(hash);
}

QString AtariCalendar::EscapeText(const QString &text)
{
    QString escaped = text;
    escaped.replace(u'\\', QStringLiteral("\\\\"))
        .replace(u';', QStringLiteral("\\;"))
        .replace(u',', QStringLiteral("\\,"))
        .replace(QStringLiteral("\r\n"), QStringLiteral("\\n"))
        .replace(u'\r', QStringLiteral("\\n"))
        .replace(u'\n', QStringLiteral("\\n"));
    // Control characters are not allowed in a value.
    return escaped.removeIf([](QChar c) { return c.category() == QChar::Other_Control && c != u'\t'; });
}

QByteArray AtariCalendar::FoldLine(const QByteArray &line)
{
    constexpr qsizetype limit = 75;
    QByteArray folded;
    qsizetype start = 0;
    // A continuation line's leading space is one of its 75 octets.
    qsizetype room = limit;
    while (line.size() - start > room) {
        qsizetype end = start + room;
        // Never between the lead byte of a UTF-8 character and its continuation bytes.
        while (end > start && (static_cast<unsigned char>(line.at(end)) & 0xC0) == 0x80)
            --end;
        folded += line.mid(start, end - start);
        folded += "\r\n ";
        start = end;
        room = limit - 1;
    }
    folded += line.mid(start);
    folded += "\r\n";
    return folded;
}

QByteArray AtariCalendar::IcsBytes(const AtariDraw &draw, const QList<AtariCard> &cards, const QDateTime &stamp)
{
    if (!draw.exchangeTo.isValid())
        return {};
    const QString caption = Caption(draw);
    QByteArray bytes;
    bytes += line(QStringLiteral("BEGIN"), QStringLiteral("VCALENDAR"));
    bytes += line(QStringLiteral("VERSION"), QStringLiteral("2.0"));
    bytes += line(QStringLiteral("PRODID"), QStringLiteral("-//Harovan//Harovan//JA"));
    bytes += line(QStringLiteral("CALSCALE"), QStringLiteral("GREGORIAN"));
    bytes += line(QStringLiteral("BEGIN"), QStringLiteral("VEVENT"));
    bytes += line(QStringLiteral("UID"), Uid(draw));
    bytes += line(QStringLiteral("DTSTAMP"), utcText(stamp));
    bytes += line(QStringLiteral("LAST-MODIFIED"), utcText(stamp));
    bytes += line(QStringLiteral("DTSTART;VALUE=DATE"), dateText(draw.exchangeTo));
    bytes += line(QStringLiteral("DTEND;VALUE=DATE"), dateText(draw.exchangeTo.addDays(1)));
    bytes += line(QStringLiteral("SUMMARY"), EscapeText(caption));
    bytes += line(QStringLiteral("DESCRIPTION"), EscapeText(description(draw, cards)));
    // A reminder, not an appointment: the day stays free.
    bytes += line(QStringLiteral("TRANSP"), QStringLiteral("TRANSPARENT"));
    bytes += alarm(QStringLiteral("-P7D"), caption);
    bytes += alarm(QStringLiteral("-P1D"), caption);
    bytes += line(QStringLiteral("END"), QStringLiteral("VEVENT"));
    bytes += line(QStringLiteral("END"), QStringLiteral("VCALENDAR"));
    return bytes;
}
