#pragma once

#include "platform/fileaccess.h"

#include <QByteArray>
#include <QString>

// What autostart.cpp and autostart_win.cpp still call until they ask
// fileaccess.h and leave the words to the core: then this file goes.
namespace platform {

// A failure in the user's words; empty for none.
QString textOf(const FileResult &result);

// writeFile, its failure in the user's words; empty on success.
QString replaceFile(const QString &path, const QByteArray &bytes);

enum class FileAccess { Write, Read };

// A system error (an errno value) as a user reads it, the system's own text
// in parentheses.
QString systemErrorText(int errorNumber, FileAccess access = FileAccess::Write);

} // namespace platform
