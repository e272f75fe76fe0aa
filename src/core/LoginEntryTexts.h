#pragma once

#include "core/LoginEntry.h"

#include <QString>

// The login reminder's entry in the user's words: what it is called in the
// desktop's list of programs started at login, and why a change of it
// failed. The entry itself is LoginAutostart (core/LoginEntry.h).
namespace LoginEntryTexts {

LoginEntryNames names();

// Empty for a change that was done; else the box's text. inFile: the entry is
// a file (the desktops' autostart folder), not a value of the system's
// settings (Windows' Run key).
QString failure(const LoginEntryChange &change, bool inFile = LoginAutostart::InFile);

// What a foreign entry is, as the failure names it.
QString found(const LoginEntry &entry);

} // namespace LoginEntryTexts
