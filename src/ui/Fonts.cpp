#include "ui/Fonts.h"

#include "ui/TextSize.h"

#include <QFontDatabase>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <array>

namespace {

struct StandIn
{
    QString family;
    QStringList fonts; // best first
};

// The designed families and the fonts made to the same measures that stand in for them.
const std::array<StandIn, 5> &standIns()
{
    static const QStringList proportional {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")};
    static const QStringList fixedPitch {QStringLiteral("IPAGothic"), QStringLiteral("IPAPGothic")};
    static const std::array<StandIn, 5> table {{
        {Fonts::PGothic, proportional},
        {Fonts::UIGothic, proportional},
        {QStringLiteral("MS PGothic"), proportional},
        {QStringLiteral("ＭＳ ゴシック"), fixedPitch},
        {QStringLiteral("MS Gothic"), fixedPitch},
    }};
    return table;
}

bool &standInsInstalled()
{
    static bool installed = false;
    return installed;
}

// Whether a family of that name is installed. QFontDatabase::hasFamily asks
// the system to match a font for every question; the list is read once.
bool isInstalled(const QString &family)
{
    static const QSet<QString> installed = [] {
        QSet<QString> names;
        const QStringList families = QFontDatabase::families();
        for (const QString &name : families)
            names.insert(name.toCaseFolded());
        return names;
    }();
    return installed.contains(family.toCaseFolded());
}

// The family itself when it is installed, else its first installed stand-in.
// Qt comes to the same stand-in by itself, but only after searching every
// installed font for the nearest one, once per family and script: a search
// that took longer than all the rest of building the main window.
QString installedFamily(const QString &family)
{
    if (!standInsInstalled() || isInstalled(family))
        return family;
    for (const StandIn &entry : standIns()) {
        if (entry.family != family)
            continue;
        for (const QString &font : entry.fonts) {
            if (isInstalled(font))
                return font;
        }
    }
    return family;
}

} // namespace

void Fonts::installSubstitutions()
{
    for (const StandIn &entry : standIns())
        QFont::insertSubstitutions(entry.family, entry.fonts);
    standInsInstalled() = true;
}

QFont Fonts::font(const QString &family, qreal pointSize, bool bold)
{
    return atDesignedSize(family, pointSize * TextSize::factor(), bold);
}

QFont Fonts::atDesignedSize(const QString &family, qreal pointSize, bool bold)
{
    QFont result(installedFamily(family));
    result.setPointSizeF(pointSize);
    if (bold)
        result.setBold(true);
    return result;
}

qreal Fonts::desktopScale()
{
    constexpr qreal DesignedPointSize = 9;
    // A font sized in pixels has no point size (-1): nothing to follow.
    return std::max<qreal>(1, TextSize::desktopFont().pointSizeF() / DesignedPointSize);
}

QFont Fonts::followingDesktop(const QString &family, qreal pointSize)
{
    return font(family, pointSize * desktopScale());
}
