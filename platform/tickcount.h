#pragma once

#include "platform/service.h"

#include <cstdint>

namespace platform {

// Milliseconds since some fixed start, wrapping around at 2^32 like the
// system's tick counter. Used to time the caption flashing.
class TickCount
{
public:
    virtual ~TickCount() = default;
    virtual std::uint32_t now() = 0;
};

class RealTickCount final : public TickCount
{
public:
    std::uint32_t now() override;
};

} // namespace platform
