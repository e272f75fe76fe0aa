#include "core/AtariHantei.h"

#include <algorithm>

QDebug operator<<(QDebug debug, const Kouho &kouho)
{
    return modNengajo::debugFields(debug, "Kouho", kouho.Toukyu, kouho.NumIndex);
}

qint16 AtariHantei::AtariHantei_Simo(const WinningData &data, const QString &strNum)
{
    intAtariToukyu = 0;
    arrKouho.clear();
    qint16 result = SimoHazure;

    // Highest class number (smallest prize) first: an exact two-digit match there
    // decides the card before any longer number of a bigger prize is considered.
    for (int k = data.intClassCount; k >= 1; --k) {
        const PrizeClass &prizeClass = data.prizeClass(k);
        // Past the class's own numbers every position is empty and matches
        // nothing: walking on to the longest class's count would only cost time.
        const qsizetype last = std::min<qsizetype>(prizeClass.strNumbers.size() - 1, data.intMaxNumbers);
        for (qsizetype j = 1; j <= last; ++j) {
            const QString &winningNumber = prizeClass.strNumbers.at(j);
            if (!winningNumber.endsWith(strNum))
                continue;
            if (winningNumber.size() == strNum.size()) {
                intAtariToukyu = static_cast<qint16>(k);
                return SimoAtari;
            }
            arrKouho.append({static_cast<qint16>(k), static_cast<qint16>(j)});
            result = SimoKouho;
        }
    }
    return result;
}

qint16 AtariHantei::AtariHantei_Kami(const WinningData &data, const QString &strNum)
{
    intAtariToukyu = 0;

    // Backwards over the candidates: the lowest class number (the biggest prize)
    // is tried first, so it wins when several classes match the card.
    for (qsizetype i = arrKouho.size() - 1; i >= 0; --i) {
        const Kouho &kouho = arrKouho.at(i);
        const QString winningNumber = data.prizeClass(kouho.Toukyu).number(kouho.NumIndex);
        const qsizetype upperLength = winningNumber.size() - 2;
        if (upperLength <= 0)
            continue;
        // The upper part of the winning number against the same number of
        // trailing upper digits; a shorter entry is compared whole and never equals it.
        const QString upperOfEntry = strNum.size() >= upperLength ? strNum.right(upperLength) : strNum;
        if (winningNumber.left(upperLength) == upperOfEntry) {
            intAtariToukyu = kouho.Toukyu;
            return KamiAtari;
        }
    }
    return KamiHazure;
}
