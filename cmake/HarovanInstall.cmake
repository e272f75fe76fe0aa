# Installation: a self-contained program folder that runs from wherever it is
# copied, plus a desktop entry and an icon so desktops list the program.
#
#   PREFIX/lib/harovan/harovan           the executable
#   PREFIX/lib/harovan/data/             schema and data files
#   PREFIX/lib/harovan/atari.wav, ReadMe.html, harovan.svg
#   PREFIX/bin/harovan                   link to the executable
#   PREFIX/share/applications/harovan.desktop
#   PREFIX/share/icons/hicolor/scalable/apps/harovan.svg
#
# The program keeps settings.ini and downloaded data files in its own folder
# while the user may write it, and in ~/.local/share/harovan otherwise.

set(HAROVAN_INSTALL_DIR lib/harovan)

install(TARGETS harovan RUNTIME DESTINATION ${HAROVAN_INSTALL_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data DESTINATION ${HAROVAN_INSTALL_DIR})
# ReadMe.html as the build filled it in (it names the build's download server).
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/ DESTINATION ${HAROVAN_INSTALL_DIR} PATTERN ReadMe.html EXCLUDE)
install(FILES ${HAROVAN_PROGRAM_DIR}/ReadMe.html DESTINATION ${HAROVAN_INSTALL_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/harovan.svg DESTINATION share/icons/hicolor/scalable/apps)

# The desktop entry names the executable by its absolute path, which is only
# known at install time (cmake --install --prefix), so it is written then.
install(CODE "
    set(HAROVAN_DESKTOP_TEMPLATE \"${CMAKE_CURRENT_LIST_DIR}/harovan.desktop.in\")
    set(HAROVAN_DESKTOP_WORK_DIR \"${CMAKE_CURRENT_BINARY_DIR}/desktop\")
    set(HAROVAN_INSTALL_DIR \"${HAROVAN_INSTALL_DIR}\")
    set(HAROVAN_VERSION \"${PROJECT_VERSION}\")
")
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/InstallDesktopEntry.cmake)
