#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// The login reminder's entry in the user's autostart folder (the desktops' XDG
// autostart rules): $XDG_CONFIG_HOME/autostart/harovan-reminder.desktop, which
// runs the program with --remind when the user logs in. Only this one file of
// the folder is ever made or removed.

// $XDG_CONFIG_HOME/autostart; ~/.config/autostart when XDG_CONFIG_HOME is
// unset, empty or not an absolute path (which the XDG base directory rules say to
// ignore). Empty when the user has no home folder.
QString autostartFolder();
// The entry's path; empty when autostartFolder() is.
QString reminderEntryPath();

// The entry's text: runs program (an absolute path) with --remind. Empty when
// the path cannot be written into an Exec line (a line break in it).
QByteArray reminderEntry(const QString &program);

// Whether the entry is there.
bool loginReminderOn();
// Makes the entry for program (on) or removes it. Empty text on success (also
// when it already was so), else why not, in the user's words.
QString setLoginReminder(bool on, const QString &program);

} // namespace platform
