# Installation: a self-contained program folder that runs from wherever it is
# copied, plus what desktops and software centres look for.
#
#   PREFIX/lib/harovan/harovan           the program
#   PREFIX/lib/harovan/harovan-remind    the login reminder, which the user's autostart entry runs
#   PREFIX/lib/harovan/modules/harovan_sound.so    the chime, loaded once the window is up
#   PREFIX/lib/harovan/modules/harovan_network.so  the transfers, loaded at the first download
#   PREFIX/lib/harovan/modules/harovan_localchannel.so  the socket a second start hands over through
#   PREFIX/lib/harovan/data/             schema and data files
#   PREFIX/lib/harovan/atari.wav, ReadMe.html, harovan.svg
#   PREFIX/bin/harovan                   link to the executable
#   PREFIX/share/applications/harovan.desktop
#   PREFIX/share/icons/hicolor/scalable/apps/harovan.svg
#   PREFIX/share/metainfo/jp.example.harovan.metainfo.xml   AppStream
#   PREFIX/share/man/man1/harovan.1.gz
#   PREFIX/share/doc/harovan/copyright, changelog.gz
#
# The program keeps settings.ini and downloaded data files in its own folder
# while the user may write it, and in ~/.local/share/harovan otherwise.

set(HAROVAN_INSTALL_DIR lib/harovan)
set(HAROVAN_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(HAROVAN_PACKAGING_BINARY_DIR ${PROJECT_BINARY_DIR}/packaging)

install(TARGETS harovan harovan-remind RUNTIME DESTINATION ${HAROVAN_INSTALL_DIR})
# Below the program folder, not in it: ldconfig has no business with it.
install(TARGETS harovan_sound harovan_network harovan_localchannel
    LIBRARY DESTINATION ${HAROVAN_INSTALL_DIR}/modules)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data DESTINATION ${HAROVAN_INSTALL_DIR})
# ReadMe.html as the build filled it in (it names the build's download server).
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/ DESTINATION ${HAROVAN_INSTALL_DIR} PATTERN ReadMe.html EXCLUDE)
install(FILES ${HAROVAN_PROGRAM_DIR}/ReadMe.html DESTINATION ${HAROVAN_INSTALL_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/harovan.svg DESTINATION share/icons/hicolor/scalable/apps)

# The AppStream id is the maker's web address reversed.
configure_file(${HAROVAN_PACKAGING_DIR}/harovan.metainfo.xml.in
    ${HAROVAN_PACKAGING_BINARY_DIR}/jp.example.harovan.metainfo.xml @ONLY)
install(FILES ${HAROVAN_PACKAGING_BINARY_DIR}/jp.example.harovan.metainfo.xml DESTINATION share/metainfo)

# The manual page and the change log, compressed as Debian expects them
# (gzip -9n: the same bytes on every build).
find_program(HAROVAN_GZIP gzip REQUIRED)
set(compressed)
foreach(name harovan.1 changelog)
    configure_file(${HAROVAN_PACKAGING_DIR}/${name}.in ${HAROVAN_PACKAGING_BINARY_DIR}/${name} @ONLY)
    add_custom_command(OUTPUT ${HAROVAN_PACKAGING_BINARY_DIR}/${name}.gz
        COMMAND ${HAROVAN_GZIP} -9nkf ${HAROVAN_PACKAGING_BINARY_DIR}/${name}
        DEPENDS ${HAROVAN_PACKAGING_BINARY_DIR}/${name}
        COMMENT "Compressing ${name}")
    list(APPEND compressed ${HAROVAN_PACKAGING_BINARY_DIR}/${name}.gz)
endforeach()
add_custom_target(harovan_packaging_files ALL DEPENDS ${compressed})
# Building the program alone (--target harovan) still makes everything installed.
add_dependencies(harovan harovan_packaging_files)
install(FILES ${HAROVAN_PACKAGING_BINARY_DIR}/harovan.1.gz DESTINATION share/man/man1)
install(FILES ${HAROVAN_PACKAGING_DIR}/copyright ${HAROVAN_PACKAGING_BINARY_DIR}/changelog.gz
    DESTINATION share/doc/harovan)

# The desktop entry names the executable by its absolute path, which is only
# known at install time (cmake --install --prefix), so it is written then.
install(CODE "
    set(HAROVAN_DESKTOP_TEMPLATE \"${HAROVAN_PACKAGING_DIR}/harovan.desktop.in\")
    set(HAROVAN_DESKTOP_WORK_DIR \"${HAROVAN_PACKAGING_BINARY_DIR}/desktop\")
    set(HAROVAN_INSTALL_DIR \"${HAROVAN_INSTALL_DIR}\")
    set(HAROVAN_VERSION \"${PROJECT_VERSION}\")
")
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/InstallDesktopEntry.cmake)
