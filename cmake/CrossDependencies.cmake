# SPDX-License-Identifier: MIT
# A cross build (Windows from Debian) finds no library of its target in Debian, only the build
# machine's. Two of them need none: nlohmann-json is headers alone, and Debian's googletest
# package ships GoogleTest's sources, built here with the cross compiler.

# The build machine's copy of a header-only library: its folder of headers alone is put on the
# include path (never the machine's whole /usr/include, whose C library headers are Linux's).
function(varnow_host_headers target folder debian_package)
  if(NOT EXISTS /usr/include/${folder})
    message(FATAL_ERROR
      "/usr/include/${folder} not found: install the Debian package ${debian_package} "
      "(scripts/install-deps.sh installs every package the build and the tests need)")
  endif()
  set(stage ${CMAKE_BINARY_DIR}/host-headers)
  file(MAKE_DIRECTORY ${stage})
  file(CREATE_LINK /usr/include/${folder} ${stage}/${folder} SYMBOLIC)
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  target_include_directories(${target} SYSTEM INTERFACE ${stage})
endfunction()

macro(varnow_cross_nlohmann_json debian_package)
  if(NOT TARGET nlohmann_json::nlohmann_json)
    varnow_host_headers(nlohmann_json::nlohmann_json nlohmann ${debian_package})
  endif()
  set(nlohmann_json_FOUND TRUE)
endmacro()

macro(varnow_cross_GTest debian_package)
  if(NOT TARGET GTest::gtest)
    set(varnow_gtest_sources /usr/src/googletest)
    if(NOT EXISTS ${varnow_gtest_sources}/CMakeLists.txt)
      message(FATAL_ERROR
        "GoogleTest's sources not found in ${varnow_gtest_sources}: install the Debian package "
        "googletest (scripts/install-deps.sh installs every package the build and the tests "
        "need)")
    endif()
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    # Its own CMake names the targets GTest::gtest and GTest::gtest_main, as find_package does.
    add_subdirectory(${varnow_gtest_sources} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  endif()
  set(GTest_FOUND TRUE)
endmacro()
