#pragma once

#include "platform/tickcount.h"

namespace platform {

// A tick counter that advances by a fixed step on every read, so busy-waits
// end at once and their length can be counted.
class FakeTickCount final : public TickCount
{
public:
    explicit FakeTickCount(std::uint32_t start = 0, std::uint32_t step = 1)
        : value(start)
        , step(step)
    { }
    std::uint32_t now() override
    {
        const std::uint32_t current = value;
        value += step; // wraps at 2^32 like the real counter
        return current;
    }
    std::uint32_t value;
    std::uint32_t step;
};

} // namespace platform
