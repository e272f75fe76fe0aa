#pragma once

#include "core/modNengajo.h"

#include <QList>

// One candidate of the lower-digit judgement: a winning number longer than two
// digits that ends with the card's last two digits.
struct Kouho
{
    qint16 Toukyu = 0; // class number
    qint16 NumIndex = 0; // position within the class's strNumbers (1-based)

    bool operator==(const Kouho &) const = default;
};
QDebug operator<<(QDebug debug, const Kouho &kouho);

// The judgement of one card against the prize classes in two steps: the lower
// two digits first, then, when longer winning numbers end with them, the upper
// four digits against those candidates only. Numbers are compared as text.
class AtariHantei
{
public:
    enum SimoResult : qint16 { SimoHazure = 0, SimoAtari = 1, SimoKouho = 2 };
    enum KamiResult : qint16 { KamiHazure = 0, KamiAtari = 1 };

    // 0: loss, 1: hit (intAtariToukyu), 2: candidates in arrKouho.
    qint16 AtariHantei_Simo(const WinningData &data, const QString &strNum);
    // 0: loss, 1: hit (intAtariToukyu). Meaningful after AtariHantei_Simo returned 2.
    qint16 AtariHantei_Kami(const WinningData &data, const QString &strNum);

    qint16 intAtariToukyu = 0;
    // The candidates in the order found; the first belongs to the highest class
    // number that could still match.
    QList<Kouho> arrKouho;
};
