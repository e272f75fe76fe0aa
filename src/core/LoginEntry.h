#pragma once

#include "platform/fileaccess.h"
#include "platform/system.h"

#include <QByteArray>
#include <QString>

#include <type_traits>

// The login reminder's one entry, which starts harovan-remind when the user
// logs in. Only the program's own entry is ever written or removed, and only
// after the user has asked for it; anything else at its place is left as it
// is. What is found and what went wrong are facts here; the words are
// core/LoginEntryTexts.h.

// What is at the entry's place. Here and in LoginEntryChange every member has
// an initializer, so that one made with designated initializers names only
// what it says.
struct LoginEntry
{
    enum class Kind {
        None, // nothing, not even a link
        On, // the program's own entry
        Off, // the program's own entry, switched off in the desktop's settings
        Foreign, // anything else: another program's entry, a link to another file, a folder
    };
    // What a foreign entry is.
    enum class Found { Nothing, LinkToNothing, Folder, Link, Unreadable, NotAnEntry, OtherProgram };
    Kind kind = Kind::None;
    // The program's entry of an earlier version, which runs "harovan --remind".
    bool earlier = false;
    Found found = Found::Nothing;
    // LinkToNothing, Link: the link's target; OtherProgram: the program it starts.
    QString name {};
};

// A change of the entry, done or refused.
struct LoginEntryChange
{
    enum class Failure {
        None,
        NoHome, // no home folder, so no autostart folder
        Foreign, // something not the program's is at path (entry says what); left as it is
        ProgramPath, // the program at path cannot be written into the entry
        FolderNotMade, // the folder path: a file is in the way at other, or refusal
        NotWritten, // the entry at path, for refusal
        NotRemoved, // the entry at path, for refusal
    };
    Failure failure = Failure::None;
    QString path {};
    QString other {};
    // Why the system refused (core/FileErrorText says it in words).
    platform::FileResult refusal {};
    LoginEntry entry {};
    bool done() const { return failure == Failure::None; }
};

// The names the desktop's list of programs started at login shows for the
// entry, in the user's language.
struct LoginEntryNames
{
    QString name;
    QString comment;
};

// The desktops' XDG autostart rules: the file harovan-reminder.desktop of
// $XDG_CONFIG_HOME/autostart (~/.config/autostart when XDG_CONFIG_HOME is
// unset, empty or not an absolute path), written and removed through the
// file-access seam. A link at its name is replaced, never written through; an
// entry with Hidden=true or X-GNOME-Autostart-enabled=false is off.
struct XdgAutostart
{
    static constexpr bool InFile = true;
    // The entry's path; empty when the user has no home folder.
    static QString place();
    static QString program();
    static LoginEntry find();
    static LoginEntryChange set(bool on, const QString &program, const LoginEntryNames &names);
    // An earlier version's entry rewritten to run program, on or off as it was.
    static LoginEntryChange updateEarlier(const QString &program, const LoginEntryNames &names);
    // The entry's text; empty when program cannot be written into an Exec line.
    static QByteArray text(const QString &program, bool on, const LoginEntryNames &names);
};

// Windows: the value "Harovan" of the user's Run key (QSettings' native
// format), the command line of harovan-remind.exe; Task Manager's start-up
// list switches it off beside it, in StartupApproved\Run.
struct RunKeyAutostart
{
    static constexpr bool InFile = false;
    static QString place();
    static QString program();
    static LoginEntry find();
    static LoginEntryChange set(bool on, const QString &program, const LoginEntryNames &names);
    // No earlier version ran on Windows.
    static LoginEntryChange updateEarlier(const QString &, const LoginEntryNames &) { return {}; }
};

// Both build everywhere; the program uses its system's.
using LoginAutostart = std::conditional_t<platform::OnWindows, RunKeyAutostart, XdgAutostart>;

// Whether the program's own entry is there and on.
inline bool loginReminderOn()
{
    return LoginAutostart::find().kind == LoginEntry::Kind::On;
}
