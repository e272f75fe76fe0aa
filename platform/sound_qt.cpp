#include "sound.h"

#include <QApplication>

namespace platform {

struct QtSound::Impl
{
};

QtSound::QtSound()
    : d(std::make_unique<Impl>())
{
}

QtSound::~QtSound() = default;

void QtSound::playAsync(const QString &)
{
    beep();
}

void QtSound::beep()
{
    QApplication::beep();
}

} // namespace platform
