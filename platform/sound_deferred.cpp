#include "platform/sound.h"

#include <QApplication>
#include <QLibrary>

namespace platform {

struct DeferredSound::Impl
{
    // Declared first, so that the sound it made goes before it. The module
    // stays loaded for the rest of the run.
    QLibrary module;
    std::unique_ptr<Sound> sound;
    bool tried = false;
};

DeferredSound::DeferredSound(const QString &modulePath)
    : d(std::make_unique<Impl>())
{
    d->module.setFileName(modulePath);
}

DeferredSound::~DeferredSound() = default;

bool DeferredSound::load()
{
    if (!d->tried) {
        d->tried = true;
        using Create = Sound *();
        if (auto *create = reinterpret_cast<Create *>(d->module.resolve(CreateSoundSymbol)))
            d->sound.reset(create());
    }
    return d->sound != nullptr;
}

void DeferredSound::playAsync(const QString &path)
{
    if (load())
        d->sound->playAsync(path);
    else
        beep();
}

void DeferredSound::beep()
{
    QApplication::beep();
}

} // namespace platform
