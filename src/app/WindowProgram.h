#pragma once

#include <QtGlobal>

// The program with its windows, in the module modules/harovan_window.so that
// the executable loads unless it only reminds: the login reminder starts
// without the libraries of the windows. argc is kept by the application
// object, so it lives as long as the call.
extern "C" Q_DECL_EXPORT int harovan_window_main(int *argc, char **argv);

// The name the executable looks the entry up by.
inline constexpr char WindowProgramEntry[] = "harovan_window_main";
using WindowProgramMain = int (*)(int *, char **);
