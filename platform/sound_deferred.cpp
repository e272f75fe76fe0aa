#include "platform/module.h"
#include "platform/sound.h"

#include <QApplication>

namespace platform {

struct DeferredSound::Impl
{
    explicit Impl(const QString &modulePath)
        : module(modulePath, CreateSoundSymbol)
    { }
    Module<Sound> module;
};

DeferredSound::DeferredSound(const QString &modulePath)
    : d(std::make_unique<Impl>(modulePath))
{ }

DeferredSound::~DeferredSound() = default;

bool DeferredSound::load()
{
    return d->module.get() != nullptr;
}

void DeferredSound::playAsync(const QString &path)
{
    if (Sound *sound = d->module.get())
        sound->playAsync(path);
    else
        beep();
}

void DeferredSound::beep()
{
    QApplication::beep();
}

} // namespace platform
