#pragma once

#include "platform/service.h"

#include <QObject>
#include <QString>

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

template <typename Interface> class DeferredCalls;

template <> class DeferredCalls<Sound> : public Sound
{
public:
    void playAsync(const QString &path) override { target().playAsync(path); }
    void beep() override { target().beep(); }

protected:
    virtual Sound &target() = 0;
};

// The sound the system makes without a module: on Windows the system plays
// the chime itself (PlaySoundW); elsewhere the beep stands in for every sound.
class SystemSound final : public Sound
{
public:
    void playAsync(const QString &path) override;
    void beep() override;
};

// The chime's module on this system, else empty (Windows needs none): on
// Linux modules/harovan_sound.so, QSoundEffect created once per file in a
// thread of the module's own and never waited on (a sound server that does
// not answer costs the chime, never the window), installed as
// Deferred<Sound> with SystemSound standing in.
QString soundModulePath();

} // namespace platform

// The sound module's interface. The number after the slash changes with every
// change of Sound, so that a module left from another build is refused.
#define HAROVAN_SOUND_IID "jp.example.harovan.Sound/1"
Q_DECLARE_INTERFACE(platform::Sound, HAROVAN_SOUND_IID)
