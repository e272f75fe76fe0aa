#pragma once

#include "platform/service.h"

#include <QString>

#include <memory>

namespace platform {

class Sound
{
public:
    virtual ~Sound() = default;
    // Starts playing a WAV file and returns at once. When the file is missing or
    // cannot be played, the system beep sounds instead.
    virtual void playAsync(const QString &path) = 0;
    // The system's default beep.
    virtual void beep() = 0;
};

// QSoundEffect, created once per file and never waited on; QApplication::beep
// when the file is missing or cannot be played.
class QtSound final : public Sound
{
public:
    QtSound();
    ~QtSound() override;
    void playAsync(const QString &path) override;
    void beep() override;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace platform
