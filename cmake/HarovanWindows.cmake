# The Windows build's own parts, included from src/CMakeLists.txt: the icon
# (pixels compiled into the windows' library as on Linux, and an .ico in both
# executables' resources with their version), and the packages.
include(ExternalProject)

# The icon renderer, built for this machine, not for Windows.
set(HAROVAN_HOST_TOOLS_DIR ${CMAKE_BINARY_DIR}/host-tools)
set(HAROVAN_RENDER_ICON ${HAROVAN_HOST_TOOLS_DIR}/harovan-render-icon)
ExternalProject_Add(harovan_host_tools
    SOURCE_DIR ${PROJECT_SOURCE_DIR}/cmake/host-tools
    BINARY_DIR ${HAROVAN_HOST_TOOLS_DIR}
    CMAKE_ARGS -DHAROVAN_SOURCE_DIR=${PROJECT_SOURCE_DIR} -DCMAKE_BUILD_TYPE=Release
        -DCMAKE_CXX_COMPILER=g++ -DCMAKE_PREFIX_PATH=/usr
    BUILD_BYPRODUCTS ${HAROVAN_RENDER_ICON}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON)

find_program(HAROVAN_MAGICK convert REQUIRED)
set(HAROVAN_ICON_DIR ${CMAKE_CURRENT_BINARY_DIR}/icon)
set(HAROVAN_ICON_FILES)
foreach(size 16 22 24 32 48 64 128)
    list(APPEND HAROVAN_ICON_FILES ${HAROVAN_ICON_DIR}/harovan-${size}.argb)
endforeach()
set(HAROVAN_ICON_PNGS)
foreach(size 16 20 24 32 40 48 64 256)
    list(APPEND HAROVAN_ICON_PNGS ${HAROVAN_ICON_DIR}/png/harovan-${size}.png)
endforeach()
set(HAROVAN_ICO ${CMAKE_CURRENT_BINARY_DIR}/harovan.ico)
add_custom_command(OUTPUT ${HAROVAN_ICON_FILES} ${HAROVAN_ICON_PNGS} ${HAROVAN_ICO}
    COMMAND ${HAROVAN_RENDER_ICON} ${PROJECT_SOURCE_DIR}/resources/harovan.svg ${HAROVAN_ICON_DIR}
        ${HAROVAN_ICON_DIR}/png
    COMMAND ${HAROVAN_MAGICK} ${HAROVAN_ICON_PNGS} ${HAROVAN_ICO}
    DEPENDS harovan_host_tools ${PROJECT_SOURCE_DIR}/resources/harovan.svg
    COMMENT "Drawing the program's icon"
    VERBATIM)
qt_add_resources(harovan_ui "harovan_icon" PREFIX "/harovan" BASE ${HAROVAN_ICON_DIR} FILES ${HAROVAN_ICON_FILES}
    OPTIONS --no-compress)

# The icon and version in each executable, as Explorer shows them.
foreach(program harovan harovan-remind)
    set(HAROVAN_RC_PROGRAM ${program})
    configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/harovan.rc.in
        ${CMAKE_CURRENT_BINARY_DIR}/${program}.rc @ONLY)
    target_sources(${program} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${program}.rc)
    set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${program}.rc PROPERTIES OBJECT_DEPENDS ${HAROVAN_ICO})
endforeach()

# cmake --build <build> --target harovan_windows_packages: the installer and
# the zip (scripts/windows/package.sh), from what the build made.
set(HAROVAN_WINDOWS_SDK_QT ${HAROVAN_WINDOWS_SDK}/qt-mingw)
add_custom_target(harovan_windows_packages
    COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/windows/package.sh ${CMAKE_BINARY_DIR} ${HAROVAN_WINDOWS_SDK_QT}
        ${PROJECT_VERSION}
    DEPENDS harovan harovan-remind harovan_network harovan_program_files
    COMMENT "Making the Windows installer and zip"
    VERBATIM)
