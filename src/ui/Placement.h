#pragma once

#include <QRect>

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
void placeBeside(QWidget *window, const QWidget *anchor);

} // namespace Placement
