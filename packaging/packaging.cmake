# SPDX-License-Identifier: GPL-3.0-or-later
# Install rules for the program and its desktop integration, and the Debian
# package (cpack -G DEB in the build tree gives numbrook_<version>_<arch>.deb).
#
# Installed layout, under the prefix:
#   bin/numbrook                                  the program
#   lib/<multiarch>/numbrook/libnumbrook_sheets.so
#                                                 its sheets module (the sheet
#                                                 window, the built-in host, Qt's
#                                                 printing and CUPS), loaded when
#                                                 something first prints or shows
#                                                 a sheet
#   lib/<multiarch>/numbrook/libnumbrook_libreoffice.so
#                                                 its LibreOffice module, loaded
#                                                 when an export starts
#   lib/<multiarch>/numbrook/numbrook-office-keeper
#                                                 the module's keeper of an office
#                                                 instance, run beside it
#   share/numbrook/式题导出.doc                    the exercise document
#   share/numbrook/numbrook-sheet-cjk-{regular,bold}.otf
#                                                 the sheets' font, added to Qt's
#                                                 fonts when a sheet is first painted
#   share/numbrook/presets.ini                    the presets by textbook unit
#   share/applications/numbrook.desktop
#   share/icons/hicolor/<n>x<n>/apps/numbrook.png, scalable/apps/numbrook.svg
# The program finds its module, document and font relative to its own folder
# (/proc/self/exe, read when an export needs them), or beside itself in the
# build tree.

set(numbrook_packaging_dir ${CMAKE_CURRENT_LIST_DIR})

install(TARGETS numbrook RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${numbrook_packaging_dir}/numbrook.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size IN ITEMS 16 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/app/icons/numbrook-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME numbrook.png)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/app/icons/numbrook.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The package's maintainer: a placeholder that lintian reports
# (bogus-mail-host) until a real one is passed:
#   cmake -S . -B build -DNUMBROOK_PACKAGE_MAINTAINER="Name <address>"
set(NUMBROOK_PACKAGE_MAINTAINER "Unset NUMBROOK_PACKAGE_MAINTAINER <unset@localhost>"
    CACHE STRING "The Maintainer field of the Debian package, as \"Name <address>\"")
set(NUMBROOK_DEBIAN_RELEASE 1)
set(NUMBROOK_DEBIAN_VERSION ${PROJECT_VERSION}-${NUMBROOK_DEBIAN_RELEASE})

# AppStream: the component's ID, and where its screenshots (docs/*.png) are
# published; the placeholder address is to be replaced by the published one.
set(NUMBROOK_APPSTREAM_ID org.numbrook.numbrook)
set(NUMBROOK_SCREENSHOT_BASE_URL "https://numbrook.invalid/docs"
    CACHE STRING "The web address of the folder with the screenshots of docs/")

# Generated files of the package: the Debian changelog and the man page,
# compressed as Debian wants them (gzip -9n, no time stamp), and the
# AppStream metadata.
find_program(NUMBROOK_GZIP gzip REQUIRED)
set(numbrook_generated ${CMAKE_BINARY_DIR}/packaging)
configure_file(${numbrook_packaging_dir}/changelog.in ${numbrook_generated}/changelog.Debian @ONLY)
configure_file(${numbrook_packaging_dir}/numbrook.metainfo.xml.in
               ${numbrook_generated}/${NUMBROOK_APPSTREAM_ID}.metainfo.xml @ONLY)
# The man page lists the table of problem types as the program has it.
add_executable(numbrook_man_page ${numbrook_packaging_dir}/man_page.cpp)
target_link_libraries(numbrook_man_page PRIVATE numbrook_generator)
add_custom_command(
  OUTPUT ${numbrook_generated}/numbrook.1
  COMMAND numbrook_man_page ${numbrook_packaging_dir}/numbrook.1.in ${numbrook_generated}/numbrook.1
  DEPENDS numbrook_man_page ${numbrook_packaging_dir}/numbrook.1.in
  COMMENT "Making the man page")
add_custom_command(
  OUTPUT ${numbrook_generated}/changelog.Debian.gz ${numbrook_generated}/numbrook.1.gz
  COMMAND ${NUMBROOK_GZIP} -9nc ${numbrook_generated}/changelog.Debian > ${numbrook_generated}/changelog.Debian.gz
  COMMAND ${NUMBROOK_GZIP} -9nc ${numbrook_generated}/numbrook.1 > ${numbrook_generated}/numbrook.1.gz
  DEPENDS ${numbrook_generated}/changelog.Debian ${numbrook_generated}/numbrook.1
  COMMENT "Compressing the Debian changelog and the man page")
add_custom_target(numbrook_package_files ALL
  DEPENDS ${numbrook_generated}/changelog.Debian.gz ${numbrook_generated}/numbrook.1.gz)

install(FILES ${numbrook_packaging_dir}/copyright ${numbrook_generated}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/numbrook)
install(FILES ${numbrook_generated}/numbrook.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${numbrook_generated}/${NUMBROOK_APPSTREAM_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# Findings of lintian that are right for this package, each with its reason.
install(FILES ${numbrook_packaging_dir}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME numbrook)

# The Debian package.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME numbrook)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${NUMBROOK_DEBIAN_RELEASE})
set(CPACK_PACKAGE_CONTACT ${NUMBROOK_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "mental arithmetic drill for primary school (口算练习)")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${NUMBROOK_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The summary above is the synopsis; this is the extended description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "A one-window drill program with a Chinese interface. Tick any of nine
problem types (addition, subtraction with and without borrowing, the times
table, two-digit by one-digit multiplication, times-table division) and
either flash up to 20 problems on the screen and work them against a
stopwatch, or write up to 100 problems with their answers into an exercise
sheet in LibreOffice Writer, ready to print.")

# The program needs Qt's widgets, a platform plugin, a CJK font for its
# captions and Qt's Chinese texts for the message boxes. LibreOffice Writer is
# needed only for exercise sheets: the program loads its LibreOffice module
# when an export starts and says so when LibreOffice is missing. The shared
# libraries of the program itself are added when the package is made
# (cpack-project-config.cmake); the module is left out of that, so that the
# package does not pull in LibreOffice's libraries. With Writer comes its
# Chinese user interface, so that the document left open speaks the
# program's language.
# The practice keeps its records through Qt's SQLite driver, a plugin that
# no library of the program links.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6sql6-sqlite, fonts-noto-cjk, qt6-translations-l10n")
# The practice reads its problems aloud (朗读题目) through Qt's
# speech-dispatcher plugin and espeak-ng's Mandarin voice; without them the
# check box is off and says what to install.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "libreoffice-writer, libreoffice-l10n-zh-cn, qt6-speech-speechd-plugin, speech-dispatcher-espeak-ng")
set(CPACK_NUMBROOK_SHLIBDEPS_BINARIES ${NUMBROOK_OUTPUT_DIR}/numbrook)
# The sheets module's libraries (Qt's printing, CUPS) count: the package
# carries the module, and the program prints through it.
get_target_property(numbrook_sheets_module_dir numbrook_sheets LIBRARY_OUTPUT_DIRECTORY)
list(APPEND CPACK_NUMBROOK_SHLIBDEPS_BINARIES ${numbrook_sheets_module_dir}/libnumbrook_sheets.so)
# The office keeper links no LibreOffice library: its libraries count.
if(TARGET numbrook_office_keeper)
  get_target_property(numbrook_keeper_name numbrook_office_keeper OUTPUT_NAME)
  list(APPEND CPACK_NUMBROOK_SHLIBDEPS_BINARIES ${NUMBROOK_OUTPUT_DIR}/${numbrook_keeper_name})
endif()
set(CPACK_PROJECT_CONFIG_FILE ${numbrook_packaging_dir}/cpack-project-config.cmake)

# Only the binary package: the source is in git.
set(CPACK_SOURCE_GENERATOR "")

include(CPack)

# The Debian package under a UTF-8 locale, whatever the caller's: the
# exercise document's name is Chinese.
add_custom_target(deb
  COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 ${CMAKE_CPACK_COMMAND} -G DEB
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  COMMENT "Making the Debian package"
  VERBATIM)
