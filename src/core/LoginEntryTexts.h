#pragma once

#include "platform/autostart.h"

#include <QString>

// The login reminder's entry in the user's words: what it is called in the
// desktop's list of programs started at login, and why a change of it
// failed. The entry itself is platform::LoginAutostart.
namespace LoginEntryTexts {

platform::LoginEntryNames names();

// Empty for a change that was done; else the box's text. inFile: the entry is
// a file (the desktops' autostart folder), not a value of the system's
// settings (Windows' Run key).
QString failure(const platform::LoginEntryChange &change, bool inFile = platform::LoginAutostart::InFile);

// What a foreign entry is, as the failure names it.
QString found(const platform::LoginEntry &entry);

} // namespace LoginEntryTexts
