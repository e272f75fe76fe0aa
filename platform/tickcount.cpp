#include "tickcount.h"

#include <QElapsedTimer>

namespace platform {

std::uint32_t RealTickCount::now()
{
    // Milliseconds of the monotonic clock, wrapping at 2^32 like the system's.
    static const QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return static_cast<std::uint32_t>(timer.msecsSinceReference());
}

} // namespace platform
