#pragma once

#include "platform/service.h"

#include <QDate>

namespace platform {

// Today's date on the user's calendar: the prize-exchange deadline and the
// date on printed lists are counted from it.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
};

// The system's local date.
class RealClock final : public Clock
{
public:
    QDate today() const override;
};

} // namespace platform
