#pragma once

#include "platform/codepage.h"
#include "platform/service.h"

#include <QString>

namespace platform {

// An INI file read and written the way the system's profile functions do it:
// writing one key keeps every other section, key and comment of the file.
class SettingsFile
{
public:
    virtual ~SettingsFile() = default;
    // The value of key in section, or defaultValue when the file, section or key
    // is missing. At most maxBytes - 1 bytes of the value are returned.
    virtual QString readString(const QString &path, const QString &section, const QString &key,
        const QString &defaultValue, int maxBytes = 512)
        = 0;
    // Creates the file, section and key as needed and replaces the value.
    // Returns false when the file cannot be written.
    virtual bool writeString(const QString &path, const QString &section, const QString &key, const QString &value) = 0;
};

// In the code page where the file's text fits it (codepage.h), else UTF-8.
class IniSettingsFile final : public SettingsFile
{
public:
    explicit IniSettingsFile(const CodePage &codePage = systemCodePage());
    QString readString(const QString &path, const QString &section, const QString &key, const QString &defaultValue,
        int maxBytes = 512) override;
    bool writeString(const QString &path, const QString &section, const QString &key, const QString &value) override;

private:
    const CodePage &m_codePage;
};

} // namespace platform
