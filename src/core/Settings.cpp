#include "core/Settings.h"

#include "core/modNengajo.h"
#include "platform/programfolder.h"
#include "platform/settingsfile.h"

#include <QFile>

namespace {

const QString Section = QStringLiteral("Settings");
const QString FileNameKey = QStringLiteral("FileName");
const QString TextSizeKey = QStringLiteral("TextSize");
const QString RemindedKey = QStringLiteral("Reminded");
const QString RemindAtLoginKey = QStringLiteral("RemindAtLogin");

// No value holds a line break, so this tells a missing key from an empty one.
const QString Missing = QStringLiteral("\n");

QString read(const QString &key, const QString &defaultValue = {})
{
    return platform::Service<platform::SettingsFile>::get().readString(
        platform::settingsPath(), Section, key, defaultValue);
}

bool write(const QString &key, const QString &value)
{
    if (read(key, Missing) == value)
        return true;
    return platform::Service<platform::SettingsFile>::get().writeString(
        platform::settingsPathForWriting(), Section, key, value);
}

QString unsavedNotePath()
{
    return platform::settingsPath() + QStringLiteral(".unsaved");
}

} // namespace

QString Settings::fileName()
{
    const QString name = modNengajo::CutAtChar(read(FileNameKey), QChar(0));
    return name.isEmpty() ? modNengajo::DefaultFileName : name;
}

bool Settings::setFileName(const QString &name)
{
    return write(FileNameKey, name);
}

QString Settings::textSize()
{
    return read(TextSizeKey);
}

bool Settings::setTextSize(int percent)
{
    return write(TextSizeKey, QString::number(percent));
}

QDate Settings::reminded()
{
    return QDate::fromString(read(RemindedKey), Qt::ISODate);
}

bool Settings::setReminded(const QDate &day)
{
    return write(RemindedKey, day.toString(Qt::ISODate));
}

std::optional<bool> Settings::remindAtLogin()
{
    const QString text = read(RemindAtLoginKey);
    if (text == u'1')
        return true;
    if (text == u'0')
        return false;
    return std::nullopt;
}

bool Settings::setRemindAtLogin(bool yes)
{
    return write(RemindAtLoginKey, yes ? QStringLiteral("1") : QStringLiteral("0"));
}

void Settings::noteUnsavedFileName()
{
    // An empty file needs no room on a full disk.
    QFile note(unsavedNotePath());
    note.open(QIODevice::WriteOnly);
}

bool Settings::takeUnsavedFileNameNote()
{
    return QFile::remove(unsavedNotePath());
}
