#pragma once

#include "core/AtariBook.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// The exchange deadline of a draw as an iCalendar file (RFC 5545), for the
// user's calendar: GNOME Calendar, Thunderbird and web calendars import it.
namespace AtariCalendar {

// "お年玉賞品の引換期限（年賀状 令和8年度）": the event's summary and the
// file's name.
QString Caption(const AtariDraw &draw);
// Caption() + ".ics", with whatever a file system refuses as "_"; the file is
// saved with AtariList::SaveFile.
QString FileName(const AtariDraw &draw);

// Stays the same for the same draw (its card type and year), so a calendar
// importing the file again updates the event instead of adding a second.
QString Uid(const AtariDraw &draw);

// One all-day event on the draw's last exchange day, its description listing
// the cards not yet exchanged with their classes and prizes, and two alarms,
// 7 days and 1 day before. CR LF line ends, lines folded at 75 octets between
// UTF-8 characters. stamp is the moment the file is made (DTSTAMP). Empty when
// the draw has no last exchange day.
QByteArray IcsBytes(const AtariDraw &draw, const QList<AtariCard> &cards, const QDateTime &stamp);

// A content line folded as RFC 5545 asks: at most 75 octets a line, each
// continuation starting with one space, never inside a UTF-8 character; CR LF
// after each line.
QByteArray FoldLine(const QByteArray &line);
// Text escaped for a TEXT value: \ ; , and line breaks.
QString EscapeText(const QString &text);

} // namespace AtariCalendar
