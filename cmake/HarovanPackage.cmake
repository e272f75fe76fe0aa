# The Debian package: `cpack -G DEB` in the build folder makes
# harovan_VERSION_amd64.deb, installing the program folder under /usr (see
# HarovanInstall.cmake) for every user of the machine.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME harovan)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Harovan)
set(CPACK_PACKAGE_CONTACT "Harovan developers <harovan@example.jp>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "checks New-Year lottery postcards for prizes")
set(CPACK_PACKAGE_DESCRIPTION
    "Harovan tells you whether your New-Year lottery postcards (otoshidama-tsuki
nengahagaki) have won a prize. Choose the card type, type the last two digits
of each card and, where a prize could still match, its upper four digits:
Harovan says which class won and keeps count. The winning numbers of several
years come with it; new ones can be downloaded.
.
The program is in Japanese.")

# Installed with DESTDIR, so that the desktop entry written at install time
# names the executable where the package puts it.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The libraries the program and its modules link come from dpkg-shlibdeps:
# libqt6gui6 with Qt's X11 platform plugin, libqt6multimedia6 for the chime
# (which plays through the sound server with libpulse0, no GStreamer or
# FFmpeg plugin), libqt6dbus6 for the login reminder's notification and
# libsqlite3-0, which the login reminder reads the book with, and libcurl4,
# which the network module downloads with. What the program
# loads at run time without linking it is
# declared by hand, each package once: the Japanese font the windows' fonts
# fall back to, the SVG plugins that draw the icon (libqt6svg6) and Qt's
# SQLite driver that keeps the book of won cards (libqt6sql6-sqlite).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, libqt6svg6, libqt6sql6-sqlite")
# Qt's own texts (message box buttons, a text box's menu) in Japanese; on
# GNOME-like desktops the desktop's text size for menus and message boxes;
# xdg-open, which opens the help and web pages in the user's browser (without
# it the program says where they are); and the sound server of Debian's
# desktops, which plays the chime.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "qt6-translations-l10n, qt6-gtk-platformtheme, xdg-utils, pipewire-pulse | pulseaudio")

include(CPack)
