// The book's values as qDebug and a failed test print them.
#include "core/AtariBook.h"

QDebug operator<<(QDebug debug, const AtariDraw &draw)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "AtariDraw(" << draw.strType << ", " << draw.strYear << ", " << draw.strFileName << ", "
                    << draw.exchangeTo << ')';
    return debug;
}

QDebug operator<<(QDebug debug, const AtariCard &card)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "AtariCard(" << card.id << ", " << card.strNumber << ", " << card.intToukyu << ", "
                    << card.strSyouhin << ", " << card.judgedAt << ", " << card.strSender << ", " << card.exchangedOn
                    << ')';
    return debug;
}

QDebug operator<<(QDebug debug, const PendingDraw &pending)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "PendingDraw(" << pending.draw << ", " << pending.intNotExchanged << ')';
    return debug;
}
