#include "core/modNengajo.h"

#include <QStringList>

const PrizeClass &WinningData::prizeClass(int k) const
{
    static const PrizeClass empty;
    return k >= 0 && k < Classes.size() ? Classes.at(k) : empty;
}

QDebug operator<<(QDebug debug, const PrizeClass &prizeClass)
{
    return modNengajo::debugFields(
        debug, "PrizeClass", prizeClass.strName, prizeClass.strNumbers, prizeClass.strSyouhin);
}

QDebug operator<<(QDebug debug, const WinningData &data)
{
    return modNengajo::debugFields(debug, "WinningData", data.strFileName, data.strType, data.strYear, data.strUrl,
        data.drawDate, data.exchangeFrom, data.exchangeTo, data.intClassCount, data.intMaxNumbers, data.Classes);
}

QDebug operator<<(QDebug debug, const NewDataEntry &entry)
{
    return modNengajo::debugFields(debug, "NewDataEntry", entry.strTitle, entry.strXmlUrl);
}

QString modNengajo::CutAtChar(const QString &text, QChar ch)
{
    const qsizetype at = text.indexOf(ch);
    return at < 0 ? text : text.left(at);
}

QString modNengajo::ShownNumbersText(const PrizeClass &prizeClass, int intMaxNumbers)
{
    QStringList lines;
    int count = 0;
    for (int k = 1; k <= intMaxNumbers && !prizeClass.number(k).isEmpty(); ++k) {
        if (++count <= MaxShownNumbers)
            lines.append(prizeClass.number(k));
    }
    if (count > MaxShownNumbers) {
        lines.removeLast();
        lines.append(QStringLiteral("ほか%1個").arg(count - MaxShownNumbers + 1));
    }
    return lines.join(CrLf);
}

QString modNengajo::FullWidthDigits(int n)
{
    QString text = QString::number(n);
    for (QChar &c : text) {
        if (c >= u'0' && c <= u'9')
            c = QChar(c.unicode() - u'0' + 0xFF10);
    }
    return text;
}

QString modNengajo::EraYearText(const QString &strYear)
{
    if (strYear.isEmpty() || (strYear.at(0) >= u'0' && strYear.at(0) <= u'9'))
        return QStringLiteral("平成") + strYear;
    return strYear;
}

QString modNengajo::TypeCaptionText(const QString &strType, const QString &strYear)
{
    return QStringLiteral("【") + strType + EraYearText(strYear) + QStringLiteral("年版】");
}
