#include "platform/windowflash.h"

#include "platform/tickcount.h"

#include <QLayout>
#include <QWidget>

#include <thread>

void platform::flashCaption(QWidget *window, int times, const QString &invertedTitle)
{
    // The flash blocks the window: what it says now shows before the flash
    // starts, painted at once without handling any input meanwhile.
    if (QLayout *layout = window->layout())
        layout->activate();
    window->repaint();

    TickCount &tickCount = Service<TickCount>::get();
    WindowFlash &flash = Service<WindowFlash>::get();
    for (int cycle = 0; cycle <= times; ++cycle) {
        // Unsigned difference: correct across the wrap of the tick counter.
        const std::uint32_t start = tickCount.now();
        // A millisecond's sleep between readings: the window waits as long as
        // before without keeping a processor busy, and still takes no input.
        while (static_cast<std::uint32_t>(tickCount.now() - start) <= 200)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        flash.invert(window, invertedTitle);
    }
    flash.invert(window, invertedTitle);
    flash.restore(window);
}
