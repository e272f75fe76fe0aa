#include "core/Settings.h"

#include "core/UserFiles.h"
#include "core/modNengajo.h"
#include "platform/fileaccess.h"
#include "platform/settingsfile.h"

#include <QDir>
#include <QFileInfo>

#include <utility>

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
        UserFiles::settingsPath(), Section, key, defaultValue);
}

bool write(const QString &key, const QString &value)
{
    if (read(key, Missing) == value)
        return true;
    return platform::Service<platform::SettingsFile>::get().writeString(
        UserFiles::settingsPathForWriting(), Section, key, value);
}

QString unsavedNotePath()
{
    return UserFiles::settingsPath() + QStringLiteral(".unsaved");
}

// The name this run read as the remembered data file, until a close keeps
// another: only a name the start found no file for is told as dropped.
QString g_readAtStart;

// A note holds one file name; anything longer is not the program's note.
constexpr qint64 MaxNoteBytes = 4096;

// Whether a remembered name names a file in the data folder: a name with a
// folder in it, or one that is not there, is none.
bool isThere(const QString &name)
{
    return !name.contains(u'/') && !name.contains(u'\\') && QFileInfo(UserFiles::dataFilePath(name)).isFile();
}

} // namespace

QString Settings::fileName()
{
    const QString name = modNengajo::CutAtChar(read(FileNameKey), QChar(0));
    g_readAtStart = name;
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

void Settings::noteUnsavedFileName(const QString &name)
{
    // The name tells the next start whether the note is still true; an empty
    // note, which needs no room on a full disk, that something was lost.
    const QString path = unsavedNotePath();
    if (!platform::writeFile(path, name.toUtf8()).ok())
        platform::writeFile(path, {});
}

bool Settings::takeUnsavedFileNameNote()
{
    const QString path = unsavedNotePath();
    const platform::EntryKind kind = platform::entryAt(path).kind;
    QByteArray noted;
    const bool isNote = kind == platform::EntryKind::File && platform::readRegularFile(path, MaxNoteBytes, noted).ok();
    if (kind == platform::EntryKind::Nothing || !platform::removeFile(path).ok())
        return false;
    // A link or anything but a file is no note of the program's; one whose
    // name settings.ini holds by now is stale.
    return isNote && (noted.isEmpty() || QString::fromUtf8(noted) != read(FileNameKey, Missing));
}

QString Settings::keepFileName(const QString &name, bool stopping, bool &told)
{
    // No data in force at close because the remembered file was not there:
    // it is dropped, as at every close, and the user learns why, once.
    const QString remembered = std::exchange(g_readAtStart, QString());
    const bool dropped = name.isEmpty() && !remembered.isEmpty() && !isThere(remembered);
    if (setFileName(name) || told) {
        if (!dropped || stopping || told)
            return {};
        told = true;
        return QStringLiteral("はがきの種類の選択を解除しました。") + modNengajo::CrLf
            + QStringLiteral("当選番号データファイル\"") + remembered
            + QStringLiteral("\"が見つかりません。次に起動したときは、はがきの種類を選択してください。");
    }
    const QString path = UserFiles::settingsPath();
    // Read-only for the administrator too, as the settings file's writer takes it;
    // a link is no choice of the user's: the writer replaces it.
    if (const platform::Entry file = platform::entryAt(path);
        file.kind == platform::EntryKind::File && (!file.processWrites || !file.ownerWrites))
        return {};
    told = true;
    if (stopping) {
        noteUnsavedFileName(name);
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
        + QDir::toNativeSeparators(UserFiles::settingsPath()) + QStringLiteral("\" に保存できませんでした。")
        + modNengajo::CrLf + QStringLiteral("必要なら、もう一度はがきの種類を選択してください。");
}
