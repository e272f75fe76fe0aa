#pragma once

#include "platform/service.h"

#include <QObject>
#include <QString>

#include <memory>

namespace platform {

class Sound
{
public:
    virtual ~Sound() = default;
    // Starts playing a WAV file and returns at once. When the file is missing or
    // cannot be played, the system beep sounds instead; a chime the sound
    // server has not started two seconds after is given up without a sound.
    virtual void playAsync(const QString &path) = 0;
    // The system's default beep.
    virtual void beep() = 0;
};

template <typename Interface> class Module;

// The chime from the module modules/harovan_sound.so (QSoundEffect, created
// once per file in a thread of the module's own and never waited on: a sound
// server that does not answer costs the chime, never the window), loaded on
// first use or by load(): the audio libraries then cost the start-up nothing.
// Without the module, or with one that is refused, the beep stands in for
// every sound.
class DeferredSound final : public Sound
{
public:
    explicit DeferredSound(const QString &modulePath);
    ~DeferredSound() override;
    // Loads the module unless that was tried before; whether it is in place.
    bool load();
    void playAsync(const QString &path) override;
    void beep() override;

private:
    std::unique_ptr<Module<Sound>> m_module;
};

} // namespace platform

// The sound module's interface. The number after the slash changes with every
// change of Sound, so that a module left from another build is refused.
#define HAROVAN_SOUND_IID "jp.example.harovan.Sound/1"
Q_DECLARE_INTERFACE(platform::Sound, HAROVAN_SOUND_IID)
