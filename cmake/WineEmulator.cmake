# SPDX-License-Identifier: MIT
# A Windows build's programs and tests run under Wine on the build machine. Wine keeps its own
# Windows (a prefix) in the build folder, made once when the build is configured rather than
# by the first of several tests started at once; its messages of what a headless machine lacks
# (no display for OLE's windows) are kept out of the tests' output.
find_program(VARNOW_WINE wine)
if(NOT VARNOW_WINE)
  message(FATAL_ERROR
    "wine not found: install the Debian packages wine and wine64 (scripts/install-deps.sh "
    "installs every package the build and the tests need)")
endif()
set(VARNOW_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${VARNOW_WINE_PREFIX} WINEDEBUG=-all
    ${VARNOW_WINE})
if(NOT EXISTS ${VARNOW_WINE_PREFIX}/system.reg)
  message(STATUS "Making the Wine prefix ${VARNOW_WINE_PREFIX}")
  execute_process(
    COMMAND env WINEPREFIX=${VARNOW_WINE_PREFIX} WINEDEBUG=-all ${VARNOW_WINE} wineboot --init
    RESULT_VARIABLE varnow_wineboot_result OUTPUT_QUIET ERROR_QUIET)
  if(NOT varnow_wineboot_result EQUAL 0)
    message(FATAL_ERROR "wine could not make its prefix in ${VARNOW_WINE_PREFIX}")
  endif()
endif()

# Every test under Wine needs the prefix's server and its services, and ctest waits for all
# processes that hold a test's output open: a service the first test's wine started would
# make that test last until the server ends. So one setup test starts them with no output
# attached, the rest require it, and a cleanup test stops them and removes the server's
# socket folder.
find_program(VARNOW_WINESERVER wineserver PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(VARNOW_WINESERVER wineserver)
if(NOT VARNOW_WINESERVER)
  message(FATAL_ERROR "wineserver not found: install the Debian package wine64")
endif()
set(VARNOW_TEST_PROPERTIES FIXTURES_REQUIRED wine)
function(varnow_wine_fixture)
  add_test(NAME WineStart COMMAND sh -c
    "WINEPREFIX='${VARNOW_WINE_PREFIX}' WINEDEBUG=-all; export WINEPREFIX WINEDEBUG; \
'${VARNOW_WINESERVER}' -p60 </dev/null >/dev/null 2>&1; \
'${VARNOW_WINE}' cmd /c exit </dev/null >/dev/null 2>&1")
  add_test(NAME WineStop
    COMMAND ${PROJECT_SOURCE_DIR}/tests/windows/StopWine.sh ${VARNOW_WINE_PREFIX}
            ${VARNOW_WINESERVER})
  set_tests_properties(WineStart PROPERTIES FIXTURES_SETUP wine)
  set_tests_properties(WineStop PROPERTIES FIXTURES_CLEANUP wine)
endfunction()
