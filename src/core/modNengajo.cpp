#include "core/modNengajo.h"

const PrizeClass &WinningData::prizeClass(int k) const
{
    static const PrizeClass empty;
    return k >= 0 && k < Classes.size() ? Classes.at(k) : empty;
}

QDebug operator<<(QDebug debug, const PrizeClass &prizeClass)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "PrizeClass(" << prizeClass.strName << ", " << prizeClass.strNumbers << ", "
                    << prizeClass.strSyouhin << ')';
    return debug;
}

QDebug operator<<(QDebug debug, const WinningData &data)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "WinningData(" << data.strFileName << ", " << data.strType << ", " << data.strYear << ", "
                    << data.strUrl << ", drawn " << data.drawDate << ", exchange " << data.exchangeFrom << " to "
                    << data.exchangeTo << ", classes " << data.intClassCount << ", max numbers " << data.intMaxNumbers
                    << ", " << data.Classes << ')';
    return debug;
}

QDebug operator<<(QDebug debug, const NewDataEntry &entry)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "NewDataEntry(" << entry.strTitle << ", " << entry.strXmlUrl << ')';
    return debug;
}

QString modNengajo::CutAtChar(const QString &text, QChar ch)
{
    const qsizetype at = text.indexOf(ch);
    return at < 0 ? text : text.left(at);
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
