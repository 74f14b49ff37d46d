# SPDX-License-Identifier: GPL-3.0-or-later
# Read by cpack when it makes a package. For the Debian package, the shared
# libraries that the program links are turned into Depends by dpkg-shlibdeps,
# as CPACK_DEBIAN_PACKAGE_SHLIBDEPS would do; that option would scan every
# binary of the package, the LibreOffice module included, and make
# LibreOffice's UNO libraries hard dependencies of a program that runs
# without them.

# The exercise document's name is Chinese: the archive writer can name it
# only under a UTF-8 character type. Say so at once rather than fail late.
set(numbrook_ctype "$ENV{LC_ALL}")
if(numbrook_ctype STREQUAL "")
  set(numbrook_ctype "$ENV{LC_CTYPE}")
endif()
if(numbrook_ctype STREQUAL "")
  set(numbrook_ctype "$ENV{LANG}")
endif()
if(NOT numbrook_ctype MATCHES "\\.([Uu][Tt][Ff]-?8)(@.*)?$")
  message(FATAL_ERROR "cpack needs a UTF-8 locale for the file name 式题导出.doc "
                      "(the locale here is \"${numbrook_ctype}\"): run "
                      "\"LC_ALL=C.UTF-8 cpack -G DEB\", or \"cmake --build build --target deb\"")
endif()

if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()

find_program(NUMBROOK_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(NOT NUMBROOK_DPKG_SHLIBDEPS)
  message(FATAL_ERROR "dpkg-shlibdeps (package dpkg-dev) is needed to make the Debian package")
endif()
foreach(binary IN LISTS CPACK_NUMBROOK_SHLIBDEPS_BINARIES)
  if(NOT EXISTS ${binary})
    message(FATAL_ERROR "${binary} is missing: build the project before packaging it")
  endif()
endforeach()

# dpkg-shlibdeps wants a debian/control in its working folder; an empty one does.
set(work ${CPACK_PACKAGE_DIRECTORY}/_CPack_Packages/numbrook-shlibdeps)
file(REMOVE_RECURSE ${work})
file(WRITE ${work}/debian/control "")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C
          ${NUMBROOK_DPKG_SHLIBDEPS} -O ${CPACK_NUMBROOK_SHLIBDEPS_BINARIES}
  WORKING_DIRECTORY ${work}
  OUTPUT_VARIABLE shlibdeps_output
  ERROR_VARIABLE shlibdeps_error
  RESULT_VARIABLE shlibdeps_result
  OUTPUT_STRIP_TRAILING_WHITESPACE)
file(REMOVE_RECURSE ${work})
if(NOT shlibdeps_result EQUAL 0 OR NOT shlibdeps_output MATCHES "shlibs:Depends=(.+)")
  message(FATAL_ERROR "dpkg-shlibdeps failed (${shlibdeps_result}): ${shlibdeps_error}${shlibdeps_output}")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CMAKE_MATCH_1}, ${CPACK_DEBIAN_PACKAGE_DEPENDS}")
message(STATUS "Depends: ${CPACK_DEBIAN_PACKAGE_DEPENDS}")
