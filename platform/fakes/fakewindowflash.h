#pragma once

#include "platform/windowflash.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <functional>

namespace platform {

// Counts the inversions; a test may note the tick count at each one.
class FakeWindowFlash final : public WindowFlash
{
public:
    void invert(QWidget *window, const QString &invertedTitle) override
    {
        ++inversions;
        lastWindow = window;
        lastInvertedTitle = invertedTitle;
        if (currentTick)
            ticksAtInversion.append(currentTick());
    }
    void restore(QWidget *window) override
    {
        ++restores;
        lastWindow = window;
    }
    int inversions = 0;
    int restores = 0;
    QWidget *lastWindow = nullptr;
    QString lastInvertedTitle;
    QList<std::uint32_t> ticksAtInversion;
    // Set by a test to read its fake tick counter without advancing it.
    std::function<std::uint32_t()> currentTick;
};

} // namespace platform
