#pragma once

#include <QRect>

#include <functional>

class QWidget;

// Where a modeless window of the program opens: beside the main window where
// the screen has room, never over it when it can be helped, and always whole
// on the screen.
namespace Placement {

// The frame rectangle for a window whose frame is size, next to anchor (the
// main window's frame) inside available (the screen's area for windows):
// right of anchor, else left, below, above, whichever covers least of it,
// pushed and, if larger than available, shrunk inside available.
QRect besideRect(const QRect &anchor, QSize size, const QRect &available);

// Moves window beside anchor on anchor's screen, the first time only: once
// placed (or once the user has moved it) it opens where it was. Nothing
// happens while anchor is not on screen.
// The window's frame is known only once the window manager has framed it, and
// a window may still grow to its layout's least size as it first shows: once
// it is on screen, it is moved whole onto the screen again.
void placeBeside(QWidget *window, const QWidget *anchor);

// Runs run once window, not yet shown, has first shown on screen: framed by
// the window manager, its exposure handled.
void atFirstShow(QWidget *window, std::function<void()> run);

// Moves a window on screen the least distance that puts its frame whole inside
// its screen's area for windows, as far as it fits.
void keepOnScreen(QWidget *window);

} // namespace Placement
