#pragma once

#include "platform/service.h"

namespace platform {

// The application-wide mouse pointer.
class MousePointer
{
public:
    virtual ~MousePointer() = default;
    virtual void setHourglass() = 0;
    virtual void setDefault() = 0;
    // Under the hourglass, the one control that still takes input (a cancel
    // button) shows the ordinary pointer while the pointer rests on it.
    virtual void setOrdinaryOverControl(bool ordinary) = 0;
};

// QGuiApplication's override cursor.
class QtMousePointer final : public MousePointer
{
public:
    void setHourglass() override;
    void setDefault() override;
    void setOrdinaryOverControl(bool ordinary) override;
};

// Shows the hourglass pointer while it lives; the default pointer comes back
// on every way out of the scope. Does nothing when no pointer service is installed.
class WaitCursor
{
public:
    WaitCursor()
    {
        if (auto *pointer = Service<MousePointer>::current())
            pointer->setHourglass();
    }
    ~WaitCursor()
    {
        if (auto *pointer = Service<MousePointer>::current())
            pointer->setDefault();
    }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

} // namespace platform
