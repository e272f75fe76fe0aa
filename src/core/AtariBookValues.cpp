// The book's values as qDebug and a failed test print them.
#include "core/AtariBook.h"

QDebug operator<<(QDebug debug, const AtariDraw &draw)
{
    return modNengajo::debugFields(debug, "AtariDraw", draw.strType, draw.strYear, draw.strFileName, draw.exchangeTo);
}

QDebug operator<<(QDebug debug, const AtariCard &card)
{
    return modNengajo::debugFields(debug, "AtariCard", card.id, card.strNumber, card.intToukyu, card.strSyouhin,
        card.judgedAt, card.strSender, card.exchangedOn);
}

QDebug operator<<(QDebug debug, const PendingDraw &pending)
{
    return modNengajo::debugFields(debug, "PendingDraw", pending.draw, pending.intNotExchanged);
}
