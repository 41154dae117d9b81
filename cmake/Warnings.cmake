# SPDX-License-Identifier: MIT
# Warnings for the project's own targets; third-party headers are included as system headers.
# With VARNOW_WERROR (the presets CI builds) a warning fails the build.
option(VARNOW_WERROR "Treat warnings as errors" OFF)
function(varnow_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(VARNOW_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
