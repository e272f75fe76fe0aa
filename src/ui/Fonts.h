#pragma once

#include <QFont>
#include <QString>

// The fonts the windows are designed in. Linux has neither; the IPA fonts,
// made to the same measures, stand in for them, so every Japanese text shows.
namespace Fonts {

inline const QString PGothic = QStringLiteral("ＭＳ Ｐゴシック");
inline const QString UIGothic = QStringLiteral("MS UI Gothic");

// Puts the substitutions in place; once per run, before the first window.
void installSubstitutions();

// family at pointSize (fractional sizes such as 11.25 are kept), grown by the
// program's text size (TextSize); once the substitutions are in place, a
// family that is not installed is asked for by the name of its installed
// stand-in.
QFont font(const QString &family, qreal pointSize, bool bold = false);
// The same at pointSize itself, whatever the text size: for printed pages.
QFont atDesignedSize(const QString &family, qreal pointSize, bool bold = false);

// How much larger than the 9 points the windows are designed at the desktop's
// own text is (its general font), never less than 1.
qreal desktopScale();
// font(family, pointSize) grown by desktopScale(): for windows whose sizes
// follow the desktop's text size.
QFont followingDesktop(const QString &family, qreal pointSize);

} // namespace Fonts
