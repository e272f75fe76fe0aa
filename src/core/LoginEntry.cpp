#include "core/LoginEntry.h"

#include "platform/programfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSettings>

#include <algorithm>
#include <cerrno>

namespace {

using Failure = LoginEntryChange::Failure;
using Found = LoginEntry::Found;
using platform::EntryKind;

// A desktop entry is a few hundred bytes; a larger file is not one.
constexpr qint64 MaxEntrySize = 64 * 1024;

LoginEntry foreign(Found found, const QString &name = {})
{
    return {.kind = LoginEntry::Kind::Foreign, .found = found, .name = name};
}

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
    for (const QByteArray &raw : bytes.split('\n')) {
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

// The program an Exec line starts: its first argument, in double quotes
// (where a backslash takes the next character as it is) or up to a blank.
QString execProgram(const QString &exec)
{
    if (!exec.startsWith(u'"'))
        return exec.section(u' ', 0, 0);
    QString program;
    for (qsizetype i = 1; i < exec.size() && exec.at(i) != u'"'; ++i)
        program += exec.at(i) == u'\\' && i + 1 < exec.size() ? exec.at(++i) : exec.at(i);
    return program;
}

// A folder without its owner's write permission takes no entry, also from the
// administrator, who could write into it anyway.
platform::FileResult mayChangeIn(const QString &folder)
{
    return platform::isWritableFolder(folder) ? platform::FileResult() : platform::systemFailure(EACCES);
}

LoginEntryChange writeEntry(const QString &path, const QString &program, bool on, const LoginEntryNames &names)
{
    const QByteArray bytes = XdgAutostart::text(program, on, names);
    if (bytes.isEmpty())
        return {.failure = Failure::ProgramPath, .path = program};
    const QString folder = QFileInfo(path).path();
    if (!platform::makeFolder(folder)) {
        // The nearest part of the path that is there: a file where a folder belongs, or a folder that takes none.
        QString there = folder;
        while (platform::entryAt(there).target == EntryKind::Nothing && QFileInfo(there).path() != there)
            there = QFileInfo(there).path();
        if (platform::entryAt(there).target == EntryKind::Folder)
            return {.failure = Failure::FolderNotMade, .path = folder, .refusal = platform::systemFailure(EACCES)};
        return {.failure = Failure::FolderNotMade, .path = folder, .other = there};
    }
    // A link in the entry's place (to the program's own entry elsewhere) is
    // replaced by the new file, never written through.
    platform::FileResult written = mayChangeIn(folder);
    if (written.ok())
        written = platform::writeFile(path, bytes);
    if (written.ok())
        return {};
    return {.failure = Failure::NotWritten, .path = path, .refusal = written};
}

} // namespace

QString XdgAutostart::place()
{
    const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
    QString folder;
    if (QDir::isAbsolutePath(configured)) {
        folder = QDir::cleanPath(configured) + QStringLiteral("/autostart");
    } else {
        const QString home = QDir::homePath();
        if (home.isEmpty() || home == QDir::rootPath() || platform::entryAt(home).target != EntryKind::Folder)
            return {};
        folder = home + QStringLiteral("/.config/autostart");
    }
    return folder + QStringLiteral("/harovan-reminder.desktop");
}

QString XdgAutostart::program()
{
    return platform::programFolder() + QStringLiteral("harovan-remind");
}

QByteArray XdgAutostart::text(const QString &program, bool on, const LoginEntryNames &names)
{
    if (program.contains(u'\n') || program.contains(u'\r'))
        return {};
    const auto oneLine = [](QString text) { return text.replace(u'\n', u' ').replace(u'\r', u' '); };
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Version=1.0\n"
                                        "Name=Harovan reminder\n"
                                        "Name[ja]=")
        + oneLine(names.name)
        + QStringLiteral("\nComment=Tells at login when the prizes of won postcards must be exchanged soon\n"
                         "Comment[ja]=")
        + oneLine(names.comment) + QStringLiteral("\nExec=") + execArgument(program)
        + QStringLiteral("\n"
                         "Icon=harovan\n"
                         "Terminal=false\n"
                         "NoDisplay=true\n")
        + (on ? QStringLiteral("X-GNOME-Autostart-enabled=true\n")
              : QStringLiteral("Hidden=true\nX-GNOME-Autostart-enabled=false\n"));
    return text.toUtf8();
}

LoginEntry XdgAutostart::find()
{
    const QString path = place();
    if (path.isEmpty())
        return {};
    const platform::Entry there = platform::entryAt(path);
    const QString &link = there.linkTarget;
    if (there.target == EntryKind::Nothing)
        return there.kind == EntryKind::Link ? foreign(Found::LinkToNothing, link) : LoginEntry();
    if (there.target == EntryKind::Folder)
        return foreign(Found::Folder);
    // A FIFO or device is refused here, before it is waited on.
    QByteArray bytes;
    if (!platform::readRegularFile(path, MaxEntrySize, bytes).ok())
        return link.isEmpty() ? foreign(Found::Unreadable) : foreign(Found::Link, link);
    const QHash<QString, QString> keys = desktopEntryKeys(bytes);
    const QString exec = keys.value(QStringLiteral("Exec"));
    const QString program = execProgram(exec);
    const QString name = program.section(u'/', -1);
    const bool earlier = name == u"harovan" && exec.split(u' ').contains(QStringLiteral("--remind"));
    if (name != u"harovan-remind" && !earlier) {
        if (!link.isEmpty())
            return foreign(Found::Link, link);
        return program.isEmpty() ? foreign(Found::NotAnEntry) : foreign(Found::OtherProgram, program);
    }
    const bool off = keys.value(QStringLiteral("Hidden")) == u"true"
        || keys.value(QStringLiteral("X-GNOME-Autostart-enabled")) == u"false";
    return {.kind = off ? LoginEntry::Kind::Off : LoginEntry::Kind::On, .earlier = earlier};
}

LoginEntryChange XdgAutostart::set(bool on, const QString &program, const LoginEntryNames &names)
{
    const QString path = place();
    if (path.isEmpty())
        return {.failure = Failure::NoHome};
    const LoginEntry entry = find();
    if (entry.kind == LoginEntry::Kind::Foreign)
        return {.failure = Failure::Foreign, .path = path, .entry = entry};
    if (on)
        return writeEntry(path, program, true, names);
    if (entry.kind == LoginEntry::Kind::None)
        return {};
    // A link goes, not the file it names.
    platform::FileResult removed = mayChangeIn(QFileInfo(path).path());
    if (removed.ok())
        removed = platform::removeFile(path);
    if (removed.ok())
        return {};
    return {.failure = Failure::NotRemoved, .path = path, .refusal = removed};
}

LoginEntryChange XdgAutostart::updateEarlier(const QString &program, const LoginEntryNames &names)
{
    const LoginEntry entry = find();
    if (!entry.earlier)
        return {};
    return writeEntry(place(), program, entry.kind == LoginEntry::Kind::On, names);
}

namespace {

const QString RunKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
const QString ApprovedKey
    = QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run");
const QString ValueName = QStringLiteral("Harovan");

// Whether Task Manager's start-up list has switched the value off: the first
// byte of its binary value there is even when on, odd when off (Qt reads a
// binary value as bytes, or as text of two bytes to a character).
bool switchedOff()
{
    const QVariant state = QSettings(ApprovedKey, QSettings::NativeFormat).value(ValueName);
    if (state.typeId() == QMetaType::QByteArray)
        return !state.toByteArray().isEmpty() && (state.toByteArray().front() & 1) != 0;
    const QString text = state.toString();
    return !text.isEmpty() && (text.front().unicode() & 1) != 0;
}

} // namespace

QString RunKeyAutostart::place()
{
    return RunKey + u'\\' + ValueName;
}

QString RunKeyAutostart::program()
{
    return platform::programFolder() + QStringLiteral("harovan-remind.exe");
}

LoginEntry RunKeyAutostart::find()
{
    const QVariant value = QSettings(RunKey, QSettings::NativeFormat).value(ValueName);
    if (!value.isValid())
        return {};
    // The program of a Windows command line: in double quotes, or up to a blank.
    const QString command = value.toString().trimmed();
    const QString program = QDir::toNativeSeparators(
        command.startsWith(u'"') ? command.section(u'"', 1, 1) : command.section(u' ', 0, 0));
    if (program.section(u'\\', -1).compare(QStringLiteral("harovan-remind.exe"), Qt::CaseInsensitive) != 0)
        return foreign(Found::OtherProgram, program);
    return {.kind = switchedOff() ? LoginEntry::Kind::Off : LoginEntry::Kind::On};
}

LoginEntryChange RunKeyAutostart::set(bool on, const QString &program, const LoginEntryNames &)
{
    const LoginEntry entry = find();
    if (entry.kind == LoginEntry::Kind::Foreign)
        return {.failure = Failure::Foreign, .path = place(), .entry = entry};
    if (on && (program.contains(u'"') || program.contains(u'\n') || program.contains(u'\r')))
        return {.failure = Failure::ProgramPath, .path = QDir::toNativeSeparators(program)};
    if (!on && entry.kind == LoginEntry::Kind::None)
        return {};
    QSettings run(RunKey, QSettings::NativeFormat);
    if (on)
        run.setValue(ValueName, u'"' + QDir::toNativeSeparators(program) + u'"');
    else
        run.remove(ValueName);
    run.sync();
    if (run.status() != QSettings::NoError)
        return {.failure = on ? Failure::NotWritten : Failure::NotRemoved,
            .path = place(),
            .refusal = platform::systemFailure(EACCES)};
    // Switched on here is on, also where Task Manager had switched it off.
    if (on)
        QSettings(ApprovedKey, QSettings::NativeFormat).remove(ValueName);
    return {};
}
