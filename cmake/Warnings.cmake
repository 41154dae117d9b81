# SPDX-License-Identifier: MIT
# Warnings for the project's own targets; third-party headers are included as system headers.
function(varnow_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
endfunction()
