#include "settingsfile.h"

namespace platform {

QString IniSettingsFile::readString(const QString &, const QString &, const QString &, const QString &defaultValue, int)
{
    return defaultValue;
}

bool IniSettingsFile::writeString(const QString &, const QString &, const QString &, const QString &)
{
    return false;
}

} // namespace platform
