#include "ui/Fonts.h"

#include <QStringList>

void Fonts::installSubstitutions()
{
    const QStringList proportional {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")};
    const QStringList fixedPitch {QStringLiteral("IPAGothic"), QStringLiteral("IPAPGothic")};
    QFont::insertSubstitutions(PGothic, proportional);
    QFont::insertSubstitutions(UIGothic, proportional);
    QFont::insertSubstitutions(QStringLiteral("MS PGothic"), proportional);
    QFont::insertSubstitutions(QStringLiteral("ＭＳ ゴシック"), fixedPitch);
    QFont::insertSubstitutions(QStringLiteral("MS Gothic"), fixedPitch);
}

QFont Fonts::font(const QString &family, qreal pointSize)
{
    QFont result(family);
    result.setPointSizeF(pointSize);
    return result;
}
