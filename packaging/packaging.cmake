# Install rules for the program and its desktop integration, and the Debian
# package (cpack -G DEB in the build tree gives numbrook_<version>_<arch>.deb).
#
# Installed layout, under the prefix:
#   lib/numbrook/numbrook                      the program, with its module and
#                                              exercise document beside it
#   bin/numbrook -> ../lib/numbrook/numbrook   the command
#   share/applications/numbrook.desktop
#   share/icons/hicolor/<n>x<n>/apps/numbrook.png
# The program finds its module and document through /proc/self/exe, which
# names the real file behind the symlink.

set(numbrook_packaging_dir ${CMAKE_CURRENT_LIST_DIR})

install(TARGETS numbrook RUNTIME DESTINATION ${NUMBROOK_INSTALL_DIR})

# The command is a relative symlink, so that the tree can be moved with its prefix.
file(RELATIVE_PATH numbrook_command_target
     ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${NUMBROOK_INSTALL_DIR}/numbrook)
install(CODE "
  set(numbrook_command \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/numbrook\")
  message(STATUS \"Installing: \${numbrook_command} -> ${numbrook_command_target}\")
  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  file(REMOVE \"\${numbrook_command}\")
  file(CREATE_LINK \"${numbrook_command_target}\" \"\${numbrook_command}\" SYMBOLIC)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${numbrook_command}\")
")

install(FILES ${numbrook_packaging_dir}/numbrook.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size IN ITEMS 16 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/app/icons/numbrook-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME numbrook.png)
endforeach()

# The Debian package.
set(NUMBROOK_PACKAGE_MAINTAINER "Numbrook maintainers <numbrook@localhost>"
    CACHE STRING "The Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME numbrook)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
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
# package does not pull in LibreOffice's libraries.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-noto-cjk, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS libreoffice-writer)
set(CPACK_NUMBROOK_SHLIBDEPS_BINARIES ${NUMBROOK_OUTPUT_DIR}/numbrook)
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
