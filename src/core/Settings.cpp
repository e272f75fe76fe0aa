#include "core/Settings.h"

#include "core/modNengajo.h"
#include "platform/programfolder.h"
#include "platform/settingsfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
    if (text != u'1' && text != u'0')
        return std::nullopt;
    return text == u'1';
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

QString Settings::keepFileName(const QString &name, bool stopping, bool &told)
{
    if (setFileName(name) || told)
        return {};
    const QString path = platform::settingsPath();
    const QFileInfo file(path);
    // Read-only for the administrator too, as the settings file's writer takes it.
    if (file.isFile() && (!file.isWritable() || !file.permission(QFile::WriteOwner)))
        return {};
    told = true;
    if (stopping) {
        noteUnsavedFileName();
        return {};
    }
    return QStringLiteral("はがきの種類の選択を保存できません。") + modNengajo::CrLf + QStringLiteral("設定ファイル \"")
        + QDir::toNativeSeparators(path)
        + QStringLiteral("\" に書き込めないため、次に起動したときは、もう一度はがきの種類を選択してください。");
}

QString Settings::unsavedFileNameText()
{
    if (!takeUnsavedFileNameNote())
        return {};
    return QStringLiteral("前回の終了時に、はがきの種類の選択を設定ファイル \"")
        + QDir::toNativeSeparators(platform::settingsPath()) + QStringLiteral("\" に保存できませんでした。")
        + modNengajo::CrLf + QStringLiteral("必要なら、もう一度はがきの種類を選択してください。");
}
