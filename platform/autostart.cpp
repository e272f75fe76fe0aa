#include "platform/autostart.h"

#include "platform/filewrite.h"
#include "platform/programfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace platform {

namespace {

const QString CrLf = QStringLiteral("\r\n");

// One argument of an Exec line: quoted where it holds a reserved character,
// then escaped as the value of a string key.
QString execArgument(const QString &argument)
{
    static const QString reserved = QStringLiteral(" \t\"'\\><~|&;$*?#()`");
    QString text = argument;
    text.replace(u'%', QStringLiteral("%%"));
    if (std::any_of(text.cbegin(), text.cend(), [](QChar c) { return reserved.contains(c); })) {
        QString quoted;
        for (const QChar c : std::as_const(text)) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                quoted += u'\\';
            quoted += c;
        }
        text = u'"' + quoted + u'"';
    }
    // The key's value is a string, in which a backslash is written twice.
    return text.replace(u'\\', QStringLiteral("\\\\"));
}

QString folderText(const QString &path)
{
    return u'"' + QDir::toNativeSeparators(path) + u'"';
}

// Whether the folder may be written: one without its owner's write
// permission counts as read-only for everyone, the administrator included.
bool writableFolder(const QString &folder)
{
    return QFileInfo(folder).permission(QFile::WriteOwner);
}

} // namespace

QString autostartFolder()
{
    const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (QDir::isAbsolutePath(configured))
        return QDir::cleanPath(configured) + QStringLiteral("/autostart");
    const QString home = QDir::homePath();
    if (home.isEmpty() || home == QDir::rootPath() || !QFileInfo(home).isDir())
        return {};
    return home + QStringLiteral("/.config/autostart");
}

QString reminderEntryPath()
{
    const QString folder = autostartFolder();
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/harovan-reminder.desktop");
}

QByteArray reminderEntry(const QString &program)
{
    if (program.contains(u'\n') || program.contains(u'\r'))
        return {};
    const QString text
        = QStringLiteral("[Desktop Entry]\n"
                         "Type=Application\n"
                         "Version=1.0\n"
                         "Name=Harovan reminder\n"
                         "Name[ja]=Harovan 引換期限のお知らせ\n"
                         "Comment=Tells at login when the prizes of won postcards must be exchanged soon\n"
                         "Comment[ja]=当たったはがきの賞品の引換期限が近づくと、ログインしたときにお知らせします\n"
                         "Exec=")
        + execArgument(program)
        + QStringLiteral(" --remind\n"
                         "Icon=harovan\n"
                         "Terminal=false\n"
                         "NoDisplay=true\n"
                         "X-GNOME-Autostart-enabled=true\n");
    return text.toUtf8();
}

bool loginReminderOn()
{
    const QString path = reminderEntryPath();
    return !path.isEmpty() && QFileInfo(path).isFile();
}

QString setLoginReminder(bool on, const QString &program)
{
    const QString path = reminderEntryPath();
    if (path.isEmpty())
        return QStringLiteral("ホームフォルダーがないため、ログイン時のお知らせを設定できません。");
    const QString folder = QFileInfo(path).path();
    const QFileInfo entry(path);
    if (!on) {
        if (!entry.exists() && !entry.isSymLink())
            return {};
        const int error = !writableFolder(folder)                   ? EACCES
            : std::remove(QFile::encodeName(path).constData()) == 0 ? 0
                                                                    : errno;
        if (error != 0)
            return QStringLiteral("ファイル ") + folderText(path) + QStringLiteral(" を削除できませんでした。") + CrLf
                + systemErrorText(error);
        return {};
    }
    const QByteArray bytes = reminderEntry(program);
    if (bytes.isEmpty())
        return QStringLiteral("プログラムの場所 ") + folderText(program)
            + QStringLiteral(" をログイン時に起動するよう設定できません。");
    if (!makeFolder(folder)) {
        // The nearest part of the path that is there: a file where a folder belongs, or a folder that takes none.
        QString there = folder;
        while (!QFileInfo::exists(there) && QFileInfo(there).path() != there)
            there = QFileInfo(there).path();
        return QStringLiteral("フォルダー ") + folderText(folder) + QStringLiteral(" を作れませんでした。") + CrLf
            + (QFileInfo(there).isDir() ? systemErrorText(EACCES)
                                        : folderText(there) + QStringLiteral(" はフォルダーではなくファイルです。"));
    }
    if (!writableFolder(folder))
        return QStringLiteral("ファイル ") + folderText(path) + QStringLiteral(" に保存できませんでした。") + CrLf
            + systemErrorText(EACCES);
    const QString reason = replaceFile(path, bytes);
    if (!reason.isEmpty())
        return QStringLiteral("ファイル ") + folderText(path) + QStringLiteral(" に保存できませんでした。") + CrLf
            + reason;
    return {};
}

} // namespace platform
