# SPDX-License-Identifier: MIT
# Windows x86-64 from Debian: mingw-w64's compiler with the POSIX thread model (std::thread
# needs it), the runtime linked in statically so that an .exe needs no DLL beside it, and the
# programs and tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VARNOW_MINGW_PREFIX x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER ${VARNOW_MINGW_PREFIX}-gcc-posix)
find_program(CMAKE_CXX_COMPILER ${VARNOW_MINGW_PREFIX}-g++-posix)
find_program(CMAKE_RC_COMPILER ${VARNOW_MINGW_PREFIX}-windres)
if(NOT CMAKE_CXX_COMPILER)
  message(FATAL_ERROR
    "${VARNOW_MINGW_PREFIX}-g++-posix not found: install the Debian package "
    "g++-mingw-w64-x86-64-posix (scripts/install-deps.sh installs every package the build and "
    "the tests need)")
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${VARNOW_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# The programs and the tests run under Wine: cmake/WineEmulator.cmake.
