#pragma once

#include "platform/filewrite.h"

#include <QString>

namespace platform {

// A Windows error code (GetLastError) as the errno value that
// systemErrorText() words for the user; EIO for what it has no word for.
int errnoForWindowsError(unsigned long error);

// A Windows error code as the user reads it: the words systemErrorText()
// gives its errno value, followed by Windows' own text in parentheses.
QString windowsErrorText(unsigned long error, FileAccess access = FileAccess::Write);

} // namespace platform
