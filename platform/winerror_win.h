#pragma once

#include "platform/fileaccess.h"

#include <QString>

namespace platform {

// A Windows error code (GetLastError) as the errno value whose FileError it
// is; EIO for what it has no word for.
int errnoForWindowsError(unsigned long error);

// A Windows error code as a failure, with Windows' own text for it (the core
// says it in words).
FileResult windowsFailure(unsigned long error, FileUse use = FileUse::Write);

} // namespace platform
