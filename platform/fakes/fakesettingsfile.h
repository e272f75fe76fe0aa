#pragma once

#include "platform/settingsfile.h"

#include <QHash>

namespace platform {

// Keeps the values in memory; path, section and key form the key.
class FakeSettingsFile final : public SettingsFile
{
public:
    QString readString(
        const QString &path, const QString &section, const QString &key, const QString &defaultValue, int) override
    {
        return values.value(path + u'|' + section + u'|' + key, defaultValue);
    }
    bool writeString(const QString &path, const QString &section, const QString &key, const QString &value) override
    {
        values.insert(path + u'|' + section + u'|' + key, value);
        return true;
    }
    QHash<QString, QString> values;
};

} // namespace platform
