#include "platform/module.h"
#include "platform/sound.h"

#include <QApplication>

namespace platform {

QString soundModulePath()
{
    return modulePath(QStringLiteral("harovan_sound"));
}

void SystemSound::playAsync(const QString &)
{
    beep();
}

void SystemSound::beep()
{
    QApplication::beep();
}

} // namespace platform
