#include "platform/tickcount.h"

#include <windows.h>

namespace platform {

std::uint32_t RealTickCount::now()
{
    // The system's milliseconds since start, wrapping at 2^32 as GetTickCount does.
    return static_cast<std::uint32_t>(::GetTickCount64());
}

} // namespace platform
