#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// The login reminder's entry in the user's autostart folder (the desktops' XDG
// autostart rules): $XDG_CONFIG_HOME/autostart/harovan-reminder.desktop, which
// runs harovan-remind when the user logs in. Only this one file of the folder
// is ever made or removed, and only while it is the program's own: a file of
// another program at that name is left as it is.

// $XDG_CONFIG_HOME/autostart; ~/.config/autostart when XDG_CONFIG_HOME is
// unset, empty or not an absolute path (which the XDG base directory rules say to
// ignore). Empty when the user has no home folder.
QString autostartFolder();
// The entry's path; empty when autostartFolder() is.
QString reminderEntryPath();

// The login reminder's executable, harovan-remind in the program folder.
QString reminderProgram();

// The entry's text: runs program (an absolute path, harovan-remind) at login,
// or does not while the desktop is told it is switched off (on false). Empty
// when the path cannot be written into an Exec line (a line break in it).
QByteArray reminderEntry(const QString &program, bool on = true);

// What is at the entry's path.
struct LoginEntry
{
    enum class Kind {
        None, // nothing, not even a link
        On, // the program's own entry
        Off, // the program's own entry, switched off in the desktop's settings
        Foreign, // anything else: another program's entry, a link to another file, a folder
    };
    Kind kind = Kind::None;
    // An entry of the program: it runs an earlier version's "harovan --remind".
    bool earlier = false;
    // Foreign: what it is, in the user's words.
    QString found;
};
LoginEntry findLoginEntry();

// Whether the program's own entry is there and on.
bool loginReminderOn();
// Makes the entry for program (on) or removes it, the file written new in the
// folder (a link in its place is replaced, never written through). Empty text
// on success (also when it already was so), else why not, in the user's
// words; a file that is not the program's is neither changed nor removed.
QString setLoginReminder(bool on, const QString &program);
// An entry of an earlier version (harovan --remind) rewritten to run program,
// switched on or off as it was. Empty text when there was nothing to do or it
// is done, else why not.
QString updateEarlierLoginReminder(const QString &program);

} // namespace platform
