#include "platform/autostart.h"

#include "platform/filewrite.h"
#include "platform/programfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <QHash>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <utility>

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

// A desktop entry is a few hundred bytes; what lies beyond this is not one.
constexpr qint64 MaxEntrySize = 64 * 1024;

// The value of a string key with its escapes undone.
QString unescapeValue(const QString &value)
{
    static const QHash<QChar, QChar> escapes {{u's', u' '}, {u'n', u'\n'}, {u't', u'\t'}, {u'r', u'\r'}};
    QString text;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar next = value.at(i) == u'\\' && i + 1 < value.size() ? value.at(++i) : QChar();
        text += next.isNull() ? value.at(i) : escapes.value(next, next);
    }
    return text;
}

// The keys of the [Desktop Entry] group and their values.
QHash<QString, QString> desktopEntryKeys(const QByteArray &bytes)
{
    QHash<QString, QString> keys;
    bool inGroup = false;
    const QList<QByteArray> lines = bytes.split('\n');
    for (const QByteArray &raw : lines) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(u'[')) {
            inGroup = line == u"[Desktop Entry]";
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (inGroup && equals > 0 && !line.startsWith(u'#'))
            keys.insert(line.left(equals).trimmed(), unescapeValue(line.mid(equals + 1).trimmed()));
    }
    return keys;
}

// The arguments of an Exec line: split at blanks outside double quotes, a
// backslash inside them taking the next character as it is.
QStringList execArguments(const QString &exec)
{
    QStringList arguments;
    QString current;
    bool inArgument = false;
    bool quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (quoted) {
            if (c == u'"')
                quoted = false;
            else
                current += c == u'\\' && i + 1 < exec.size() ? exec.at(++i) : c;
        } else if (c == u' ' || c == u'\t') {
            if (inArgument)
                arguments.append(std::exchange(current, {}));
            inArgument = false;
        } else {
            quoted = c == u'"';
            if (!quoted)
                current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        arguments.append(current);
    return arguments;
}

// Writes the program's entry as a new file in the folder, in the place of what is there.
QString writeEntry(const QString &path, const QString &program, bool on)
{
    const QByteArray bytes = reminderEntry(program, on);
    if (bytes.isEmpty())
        return QStringLiteral("プログラムの場所 ") + folderText(program)
            + QStringLiteral(" をログイン時に起動するよう設定できません。");
    const QString folder = QFileInfo(path).path();
    if (!makeFolder(folder)) {
        // The nearest part of the path that is there: a file where a folder belongs, or a folder that takes none.
        QString there = folder;
        while (!QFileInfo::exists(there) && QFileInfo(there).path() != there)
            there = QFileInfo(there).path();
        return QStringLiteral("フォルダー ") + folderText(folder) + QStringLiteral(" を作れませんでした。") + CrLf
            + (QFileInfo(there).isDir() ? systemErrorText(EACCES)
                                        : folderText(there) + QStringLiteral(" はフォルダーではなくファイルです。"));
    }
    QString reason;
    // A link in the entry's place (to the program's own entry elsewhere) goes
    // first: the new file takes its place instead of being written through it.
    errno = 0;
    if (!writableFolder(folder))
        reason = systemErrorText(EACCES);
    else if (QFileInfo(path).isSymLink() && !QFile::remove(path))
        reason = systemErrorText(errno != 0 ? errno : EIO);
    else
        reason = replaceFile(path, bytes);
    if (reason.isEmpty())
        return {};
    return QStringLiteral("ファイル ") + folderText(path) + QStringLiteral(" に保存できませんでした。") + CrLf + reason;
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

QString reminderProgram()
{
    return programFolder() + QStringLiteral("harovan-remind");
}

QByteArray reminderEntry(const QString &program, bool on)
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
        + QStringLiteral("\n"
                         "Icon=harovan\n"
                         "Terminal=false\n"
                         "NoDisplay=true\n")
        + (on ? QStringLiteral("X-GNOME-Autostart-enabled=true\n")
              : QStringLiteral("Hidden=true\nX-GNOME-Autostart-enabled=false\n"));
    return text.toUtf8();
}

LoginEntry findLoginEntry()
{
    const QString path = reminderEntryPath();
    const QFileInfo info(path);
    if (path.isEmpty() || (!info.exists() && !info.isSymLink()))
        return {};
    const LoginEntry::Kind foreign = LoginEntry::Kind::Foreign;
    if (!info.exists())
        return {foreign, false,
            QStringLiteral("ないファイル ") + folderText(info.symLinkTarget()) + QStringLiteral(" へのリンク")};
    if (info.isDir())
        return {foreign, false, QStringLiteral("フォルダー")};
    const QString link = info.isSymLink()
        ? QStringLiteral("ファイル ") + folderText(info.symLinkTarget()) + QStringLiteral(" へのリンク")
        : QString();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {foreign, false, link.isEmpty() ? QStringLiteral("読めないファイル") : link};
    const QHash<QString, QString> keys = desktopEntryKeys(file.read(MaxEntrySize));
    const QStringList exec = execArguments(keys.value(QStringLiteral("Exec")));
    const QString name = exec.isEmpty() ? QString() : QFileInfo(exec.first()).fileName();
    const bool earlier = name == u"harovan" && exec.contains(QStringLiteral("--remind"));
    if (name != u"harovan-remind" && !earlier) {
        if (!link.isEmpty())
            return {foreign, false, link};
        if (exec.isEmpty())
            return {foreign, false, QStringLiteral("ログイン時に起動するプログラムの設定ではないファイル")};
        return {
            foreign, false, QStringLiteral("別のプログラム ") + folderText(exec.first()) + QStringLiteral(" の設定")};
    }
    const bool off = keys.value(QStringLiteral("Hidden")).trimmed() == u"true"
        || keys.value(QStringLiteral("X-GNOME-Autostart-enabled")).trimmed() == u"false";
    return {off ? LoginEntry::Kind::Off : LoginEntry::Kind::On, earlier, {}};
}

bool loginReminderOn()
{
    return findLoginEntry().kind == LoginEntry::Kind::On;
}

QString setLoginReminder(bool on, const QString &program)
{
    const QString path = reminderEntryPath();
    if (path.isEmpty())
        return QStringLiteral("ホームフォルダーがないため、ログイン時のお知らせを設定できません。");
    const LoginEntry entry = findLoginEntry();
    if (entry.kind == LoginEntry::Kind::Foreign)
        return QStringLiteral("ログイン時のお知らせの設定ファイルの場所 ") + folderText(path)
            + QStringLiteral(" にあるのは、") + entry.found + QStringLiteral("で、このプログラムのものではありません。")
            + CrLf + QStringLiteral("このファイルは変更も削除もしません。");
    if (!on) {
        if (entry.kind == LoginEntry::Kind::None)
            return {};
        // A link goes, not the file it names.
        const int error = !writableFolder(QFileInfo(path).path())   ? EACCES
            : std::remove(QFile::encodeName(path).constData()) == 0 ? 0
                                                                    : errno;
        if (error == 0)
            return {};
        return QStringLiteral("ファイル ") + folderText(path) + QStringLiteral(" を削除できませんでした。") + CrLf
            + systemErrorText(error);
    }
    return writeEntry(path, program, true);
}

QString updateEarlierLoginReminder(const QString &program)
{
    const LoginEntry entry = findLoginEntry();
    if (!entry.earlier)
        return {};
    return writeEntry(reminderEntryPath(), program, entry.kind == LoginEntry::Kind::On);
}

} // namespace platform
