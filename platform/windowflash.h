#pragma once

#include "platform/service.h"

#include <QString>

class QWidget;

namespace platform {

// Inverts the look of a window's caption once per call, visibly even while the
// program does not process events. invertedTitle: the caption's text while it
// is inverted, where the system shows the inversion by the text alone.
class WindowFlash
{
public:
    virtual ~WindowFlash() = default;
    virtual void invert(QWidget *window, const QString &invertedTitle) = 0;
    // Puts the window's caption back to its normal look.
    virtual void restore(QWidget *window) = 0;
};

// Toggles the window title and flushes the window system's connection, so each
// inversion shows although the program is busy-waiting. Does nothing visible
// under the offscreen platform.
class TitleFlash final : public WindowFlash
{
public:
    void invert(QWidget *window, const QString &invertedTitle) override;
    void restore(QWidget *window) override;
};

// Flashes window's caption: times + 1 cycles of a little over 200 ms on the
// TickCount, each ending in an inversion, then one more inversion and the
// caption back to normal. Blocks meanwhile, with the window painted first.
void flashCaption(QWidget *window, int times, const QString &invertedTitle);

} // namespace platform
