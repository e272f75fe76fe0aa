#pragma once

#include "platform/waitcursor.h"

#include <QStringList>

namespace platform {

class FakeMousePointer final : public MousePointer
{
public:
    void setHourglass() override
    {
        hourglass = true;
        events.append(QStringLiteral("hourglass"));
    }
    void setDefault() override
    {
        hourglass = false;
        events.append(QStringLiteral("default"));
    }
    void setOrdinaryOverControl(bool ordinary) override { ordinaryOverControl = ordinary; }
    bool hourglass = false;
    bool ordinaryOverControl = false;
    QStringList events;
};

} // namespace platform
