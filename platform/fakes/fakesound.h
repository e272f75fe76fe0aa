#pragma once

#include "platform/sound.h"

#include <QStringList>

namespace platform {

class FakeSound final : public Sound
{
public:
    void playAsync(const QString &path) override
    {
        played.append(path);
        events.append(QStringLiteral("play"));
    }
    void beep() override
    {
        ++beeps;
        events.append(QStringLiteral("beep"));
    }
    QStringList played;
    int beeps = 0;
    QStringList events; // "play" and "beep" in the order they happened
};

} // namespace platform
