# Cross-compiling for Windows x86_64 with Debian's mingw-w64 compilers. The
# -posix ones: the win32-thread ones have no std::mutex or std::thread.
# HAROVAN_WINDOWS_SDK names the folder holding qt-mingw (Qt, SQLite and
# libxml2 for Windows) and curl-mingw (libcurl); scripts/build-windows.sh sets it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Passed on to try_compile() projects, which read the toolchain file again.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES HAROVAN_WINDOWS_SDK)
if(NOT HAROVAN_WINDOWS_SDK AND DEFINED ENV{HAROVAN_WINDOWS_SDK})
    set(HAROVAN_WINDOWS_SDK $ENV{HAROVAN_WINDOWS_SDK})
endif()
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${HAROVAN_WINDOWS_SDK}/qt-mingw ${HAROVAN_WINDOWS_SDK}/curl-mingw)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
