#include "platform/clock.h"

namespace platform {

QDate RealClock::today() const
{
    return QDate::currentDate();
}

} // namespace platform
