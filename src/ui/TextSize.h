#pragma once

#include <QFont>
#include <QString>

#include <functional>

class QMainWindow;
class QWidget;

// The size of the program's text, chosen in the 表示 menu: 100, 150 or 200
// percent of the size every window is designed at, on top of what the
// desktop's own text size gives. The application's font carries it: a change
// sets that font, Qt tells every window (QEvent::ApplicationFontChange), each
// sets its fonts again (Fonts::font grows them by the size in force), and the
// windows are sized again and kept on screen. Remembered in settings.ini
// (Settings::textSize).
namespace TextSize {

inline constexpr int Standard = 100;
inline constexpr int Large = 150;
inline constexpr int ExtraLarge = 200;

// The size in force, in percent, and as a factor (1, 1.5 or 2).
int percent();
qreal factor();

// A margin, gap or padding of designedPixels at the size in force.
int scaled(int designedPixels);

// The size a value of TextSize names: 100 for anything but 100, 150 and 200.
int fromSetting(const QString &value);

// Reads the size from settings.ini and grows the application's font (message
// boxes, menus, Qt's own dialogs) by it: once, before the first window.
void load();
// Puts percent in force at once in every window and writes it to
// settings.ini; an unknown size counts as 100.
void choose(int percent);

// The desktop's own font, before the text size grows it.
QFont desktopFont();

// Has window, its layouts built at their designed spacing, follow the size:
// its spacing grown to the size in force, then relayout (its fonts and the
// sizes from their metrics) run now and at every change of the size, once the
// window's controls have taken the new application font.
void follow(QWidget *window, std::function<void()> relayout);

// The 表示 menu on window's menu bar: the three sizes, the one in force
// checked whichever window chose it, Ctrl+0 for the standard size, and Ctrl
// with plus and minus to step it. The keys work in every window of the
// program, a modal window over it included, for as long as window lives.
void addMenu(QMainWindow *window);

// The room window has on its screen inside its frame; a window not yet shown
// is given the frame of the window it belongs to.
QSize roomOnScreen(const QWidget *window);

} // namespace TextSize
