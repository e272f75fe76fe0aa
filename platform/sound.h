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
// when the file is missing or cannot be played. Built into the module
// modules/harovan_sound of the program folder, which makes one through
// CreateSoundSymbol.
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

// extern "C" Sound *harovan_create_sound(): a new QtSound, owned by the caller.
inline constexpr char CreateSoundSymbol[] = "harovan_create_sound";

// The chime from the module harovan_sound, loaded on first use or by load():
// the audio libraries then cost the start-up nothing. Without the module, the
// beep stands in for every sound.
template <typename Interface> class Module;

class DeferredSound final : public Sound
{
public:
    // modulePath: the module's path without its suffix (".so").
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
