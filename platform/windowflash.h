#pragma once

#include "platform/service.h"

class QWidget;

namespace platform {

// Inverts the look of a window's caption once per call, visibly even while the
// program does not process events.
class WindowFlash
{
public:
    virtual ~WindowFlash() = default;
    virtual void invert(QWidget *window) = 0;
    // Puts the window's caption back to its normal look.
    virtual void restore(QWidget *window) = 0;
};

// Toggles the window title and flushes the window system's connection, so each
// inversion shows although the program is busy-waiting. Does nothing visible
// under the offscreen platform.
class TitleFlash final : public WindowFlash
{
public:
    void invert(QWidget *window) override;
    void restore(QWidget *window) override;
};

// Flashes window's caption: times + 1 cycles of a little over 200 ms on the
// TickCount, each ending in an inversion, then one more inversion and the
// caption back to normal. Blocks meanwhile, with the window painted first.
void flashCaption(QWidget *window, int times);

} // namespace platform
