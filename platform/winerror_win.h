#pragma once

namespace platform {

// A Windows error code (GetLastError) as the errno value that
// systemErrorText() words for the user; EIO for what it has no word for.
int errnoForWindowsError(unsigned long error);

} // namespace platform
