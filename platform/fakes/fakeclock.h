#pragma once

#include "platform/clock.h"

namespace platform {

// A calendar that shows whatever date the test sets.
class FakeClock final : public Clock
{
public:
    explicit FakeClock(QDate date = {})
        : date(date)
    { }
    QDate today() const override { return date; }
    QDate date;
};

} // namespace platform
