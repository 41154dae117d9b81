# SPDX-License-Identifier: MIT
# Every library the build uses is found where it is configured; one that is missing stops the
# configure with the Debian package that brings it, rather than a compile error later.
# scripts/install-deps.sh installs each of these packages.

# find_package(name ARGN), or a stop naming `debian_package`. A cross build takes what it
# can from the build machine (see CrossDependencies.cmake).
macro(varnow_find_package name debian_package)
  if(CMAKE_CROSSCOMPILING AND COMMAND varnow_cross_${name})
    cmake_language(CALL varnow_cross_${name} ${debian_package})
  else()
    find_package(${name} ${ARGN} QUIET)
  endif()
  if(NOT ${name}_FOUND)
    message(FATAL_ERROR
      "${name} ${ARGN} not found: install the Debian package ${debian_package} "
      "(scripts/install-deps.sh installs every package the build and the tests need)")
  endif()
endmacro()

# A header-only library: the folder holding `header`, or a stop naming `debian_package`.
function(varnow_find_header variable header debian_package)
  find_path(${variable} ${header})
  if(NOT ${variable})
    message(FATAL_ERROR
      "${header} not found: install the Debian package ${debian_package} "
      "(scripts/install-deps.sh installs every package the build and the tests need)")
  endif()
endfunction()

if(CMAKE_CROSSCOMPILING)
  include(${CMAKE_CURRENT_LIST_DIR}/CrossDependencies.cmake)
endif()
