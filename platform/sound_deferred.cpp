#include "platform/module.h"
#include "platform/sound.h"

#include <QApplication>

namespace platform {

DeferredSound::DeferredSound(const QString &modulePath)
    : m_module(std::make_unique<Module<Sound>>(modulePath))
{ }

DeferredSound::~DeferredSound() = default;

bool DeferredSound::load()
{
    return m_module->get() != nullptr;
}

void DeferredSound::playAsync(const QString &path)
{
    if (Sound *sound = m_module->get())
        sound->playAsync(path);
    else
        beep();
}

void DeferredSound::beep()
{
    QApplication::beep();
}

} // namespace platform
