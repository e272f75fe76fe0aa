#pragma once

#include <QtGlobal>

// The system the program is built for. Code that builds on every system and
// picks one of two ways asks it here (core/LoginEntry.h), never with an #if of
// its own.
namespace platform {

#ifdef Q_OS_WIN
inline constexpr bool OnWindows = true;
#else
inline constexpr bool OnWindows = false;
#endif

} // namespace platform
