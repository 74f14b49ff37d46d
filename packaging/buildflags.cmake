# SPDX-License-Identifier: GPL-3.0-or-later
# Debian's build flags, from dpkg-buildflags with every hardening feature:
# _FORTIFY_SOURCE, the strong stack protector, format-string checks, and
# full RELRO with immediate binding. Optimisation and debug information
# come from the build type. Without dpkg-buildflags the flags are left out.

option(NUMBROOK_DEBIAN_BUILDFLAGS "Build with Debian's hardening flags from dpkg-buildflags" ON)
if(NOT NUMBROOK_DEBIAN_BUILDFLAGS)
  return()
endif()
find_program(NUMBROOK_DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT NUMBROOK_DPKG_BUILDFLAGS)
  message(STATUS "dpkg-buildflags not found (package dpkg-dev): building without Debian's hardening flags")
  return()
endif()

foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
            ${NUMBROOK_DPKG_BUILDFLAGS} --get ${kind}
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    OUTPUT_VARIABLE flags
    OUTPUT_STRIP_TRAILING_WHITESPACE
    COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  list(FILTER flags EXCLUDE REGEX "^-O[0-9s]?$|^-g$")
  set(numbrook_debian_${kind} ${flags})
endforeach()
add_compile_options(${numbrook_debian_CPPFLAGS} ${numbrook_debian_CXXFLAGS})
add_link_options(${numbrook_debian_LDFLAGS})
message(STATUS "Debian build flags: ${numbrook_debian_CPPFLAGS} ${numbrook_debian_CXXFLAGS} ${numbrook_debian_LDFLAGS}")
