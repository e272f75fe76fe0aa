# Runs at install time: writes harovan.desktop with the installed executable's
# path and links PREFIX/bin/harovan to it.

set(executable "${CMAKE_INSTALL_PREFIX}/${HAROVAN_INSTALL_DIR}/harovan")

# A path without the characters the desktop entry format reserves is written
# as it is (launchers that read Exec by hand see the plain path). Otherwise
# Exec takes a quoted argument: inside the quotes ", `, $ and \ are escaped
# with a backslash, and the desktop file's own string rules double every
# backslash again; a literal % is written %%.
if(executable MATCHES "[] \t\n\"'\\><~|&;$*?#()`%[]")
    set(quoted "${executable}")
    string(REPLACE "\\" "\\\\\\\\" quoted "${quoted}")
    string(REPLACE "\"" "\\\\\"" quoted "${quoted}")
    string(REPLACE "`" "\\\\`" quoted "${quoted}")
    string(REPLACE "$" "\\\\$" quoted "${quoted}")
    string(REPLACE "%" "%%" quoted "${quoted}")
    set(HAROVAN_DESKTOP_EXEC "\"${quoted}\"")
else()
    set(HAROVAN_DESKTOP_EXEC "${executable}")
endif()
# TryExec is a plain string: only the desktop file's own escapes apply.
string(REPLACE "\\" "\\\\" HAROVAN_DESKTOP_TRYEXEC "${executable}")

# One work folder per destination: installs into other places (a package
# build, a test's install) may run at the same time.
string(MD5 destination "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(work "${HAROVAN_DESKTOP_WORK_DIR}/${destination}")
configure_file("${HAROVAN_DESKTOP_TEMPLATE}" "${work}/harovan.desktop" @ONLY)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications" TYPE FILE
     FILES "${work}/harovan.desktop")

set(link "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin/harovan")
message(STATUS "Installing: ${link}")
file(MAKE_DIRECTORY "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin")
file(REMOVE "${link}")
file(CREATE_LINK "../${HAROVAN_INSTALL_DIR}/harovan" "${link}" SYMBOLIC)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${CMAKE_INSTALL_PREFIX}/bin/harovan")
