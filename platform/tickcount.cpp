#include "platform/tickcount.h"

#include <QElapsedTimer>

namespace platform {

std::uint32_t RealTickCount::now()
{
    // Milliseconds of the monotonic clock, wrapping at 2^32 like the system's.
    // A timer started now has the clock's current reading as its start point.
    QElapsedTimer timer;
    timer.start();
    return static_cast<std::uint32_t>(timer.msecsSinceReference());
}

} // namespace platform
