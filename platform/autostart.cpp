#include "platform/autostart.h"

#include "platform/fileaccess.h"
#include "platform/programfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSettings>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace platform {

namespace {

using Failure = LoginEntryChange::Failure;
using Found = LoginEntry::Found;

// A desktop entry is a few hundred bytes; what lies beyond this is not one.
constexpr qint64 MaxEntrySize = 64 * 1024;

// A change refused, and why.
LoginEntryChange refused(
    Failure failure, const QString &path = {}, const FileResult &refusal = {}, const QString &other = {})
{
    LoginEntryChange change;
    change.failure = failure;
    change.path = path;
    change.refusal = refusal;
    change.other = other;
    return change;
}

LoginEntryChange foreignThere(const QString &path, const LoginEntry &entry)
{
    LoginEntryChange change = refused(Failure::Foreign, path);
    change.entry = entry;
    return change;
}

LoginEntry entryOf(LoginEntry::Kind kind, bool earlier = false)
{
    LoginEntry entry;
    entry.kind = kind;
    entry.earlier = earlier;
    return entry;
}

LoginEntry foreignEntry(Found found, const QString &name = {})
{
    LoginEntry entry = entryOf(LoginEntry::Kind::Foreign);
    entry.found = found;
    entry.name = name;
    return entry;
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

// The program a command line starts: its first argument, in double quotes
// or up to a blank. In an Exec line a backslash in quotes takes the next
// character as it is; in Windows' a backslash is a folder's separator.
enum class Backslash { Escapes, Separates };
QString commandProgram(const QString &command, Backslash backslash)
{
    if (!command.startsWith(u'"'))
        return command.section(u' ', 0, 0);
    QString program;
    for (qsizetype i = 1; i < command.size() && command.at(i) != u'"'; ++i) {
        const bool escape = backslash == Backslash::Escapes && command.at(i) == u'\\' && i + 1 < command.size();
        program += escape ? command.at(++i) : command.at(i);
    }
    return program;
}

// Whether the folder may be written: one without its owner's write
// permission counts as read-only for everyone, the administrator included.
bool writableFolder(const QString &folder)
{
    return QFileInfo(folder).permission(QFile::WriteOwner);
}

LoginEntryChange writeEntry(const QString &path, const QString &program, bool on, const LoginEntryNames &names)
{
    const QByteArray bytes = XdgAutostart::text(program, on, names);
    if (bytes.isEmpty())
        return refused(Failure::ProgramPath, program);
    const QString folder = QFileInfo(path).path();
    if (!makeFolder(folder)) {
        // The nearest part of the path that is there: a file where a folder belongs, or a folder that takes none.
        QString there = folder;
        while (!QFileInfo::exists(there) && QFileInfo(there).path() != there)
            there = QFileInfo(there).path();
        if (QFileInfo(there).isDir())
            return refused(Failure::FolderNotMade, folder, systemFailure(EACCES));
        return refused(Failure::FolderNotMade, folder, {}, there);
    }
    // A link in the entry's place (to the program's own entry elsewhere) is
    // replaced by the new file, never written through.
    const FileResult written = writableFolder(folder) ? writeFile(path, bytes) : systemFailure(EACCES);
    if (written.ok())
        return {};
    return refused(Failure::NotWritten, path, written);
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
        if (home.isEmpty() || home == QDir::rootPath() || !QFileInfo(home).isDir())
            return {};
        folder = home + QStringLiteral("/.config/autostart");
    }
    return folder + QStringLiteral("/harovan-reminder.desktop");
}

QString XdgAutostart::program()
{
    return programFolder() + QStringLiteral("harovan-remind");
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
    const QFileInfo info(path);
    if (path.isEmpty() || (!info.exists() && !info.isSymLink()))
        return {};
    if (!info.exists())
        return foreignEntry(Found::LinkToNothing, info.symLinkTarget());
    if (info.isDir())
        return foreignEntry(Found::Folder);
    const QString link = info.isSymLink() ? info.symLinkTarget() : QString();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return link.isEmpty() ? foreignEntry(Found::Unreadable) : foreignEntry(Found::Link, link);
    const QHash<QString, QString> keys = desktopEntryKeys(file.read(MaxEntrySize));
    const QString exec = keys.value(QStringLiteral("Exec"));
    const QString program = commandProgram(exec, Backslash::Escapes);
    const QString name = QFileInfo(program).fileName();
    const bool earlier = name == u"harovan" && exec.split(u' ').contains(QStringLiteral("--remind"));
    if (name != u"harovan-remind" && !earlier) {
        if (!link.isEmpty())
            return foreignEntry(Found::Link, link);
        if (program.isEmpty())
            return foreignEntry(Found::NotAnEntry);
        return foreignEntry(Found::OtherProgram, program);
    }
    const bool off = keys.value(QStringLiteral("Hidden")) == u"true"
        || keys.value(QStringLiteral("X-GNOME-Autostart-enabled")) == u"false";
    return entryOf(off ? LoginEntry::Kind::Off : LoginEntry::Kind::On, earlier);
}

LoginEntryChange XdgAutostart::set(bool on, const QString &program, const LoginEntryNames &names)
{
    const QString path = place();
    if (path.isEmpty())
        return refused(Failure::NoHome);
    const LoginEntry entry = find();
    if (entry.kind == LoginEntry::Kind::Foreign)
        return foreignThere(path, entry);
    if (on)
        return writeEntry(path, program, true, names);
    if (entry.kind == LoginEntry::Kind::None)
        return {};
    // A link goes, not the file it names.
    const int error = !writableFolder(QFileInfo(path).path())   ? EACCES
        : std::remove(QFile::encodeName(path).constData()) == 0 ? 0
                                                                : errno;
    if (error == 0)
        return {};
    return refused(Failure::NotRemoved, path, systemFailure(error));
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
    return programFolder() + QStringLiteral("harovan-remind.exe");
}

LoginEntry RunKeyAutostart::find()
{
    const QVariant value = QSettings(RunKey, QSettings::NativeFormat).value(ValueName);
    if (!value.isValid())
        return {};
    const QString program = commandProgram(value.toString().trimmed(), Backslash::Separates);
    if (QFileInfo(program).fileName().compare(QStringLiteral("harovan-remind.exe"), Qt::CaseInsensitive) != 0)
        return foreignEntry(Found::OtherProgram, QDir::toNativeSeparators(program));
    return entryOf(switchedOff() ? LoginEntry::Kind::Off : LoginEntry::Kind::On);
}

LoginEntryChange RunKeyAutostart::set(bool on, const QString &program, const LoginEntryNames &)
{
    const LoginEntry entry = find();
    if (entry.kind == LoginEntry::Kind::Foreign)
        return foreignThere(place(), entry);
    if (on && (program.contains(u'"') || program.contains(u'\n') || program.contains(u'\r')))
        return refused(Failure::ProgramPath, QDir::toNativeSeparators(program));
    if (!on && entry.kind == LoginEntry::Kind::None)
        return {};
    QSettings run(RunKey, QSettings::NativeFormat);
    if (on)
        run.setValue(ValueName, u'"' + QDir::toNativeSeparators(program) + u'"');
    else
        run.remove(ValueName);
    run.sync();
    if (run.status() != QSettings::NoError)
        return refused(on ? Failure::NotWritten : Failure::NotRemoved, place(), systemFailure(EACCES));
    // Switched on here is on, also where Task Manager had switched it off.
    if (on)
        QSettings(ApprovedKey, QSettings::NativeFormat).remove(ValueName);
    return {};
}

} // namespace platform
