# SPDX-License-Identifier: MIT
# Fuzz targets (libFuzzer, so clang only): everything is built with the fuzzer's coverage and
# AddressSanitizer + UndefinedBehaviorSanitizer; only the fuzz targets link the fuzzer's main.
if(VARNOW_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "VARNOW_FUZZ needs clang (the fuzz preset sets it)")
  endif()
  set(_varnow_fuzz -fsanitize=address,undefined -fno-omit-frame-pointer
      -fno-sanitize-recover=undefined)
  add_compile_options(-fsanitize=fuzzer-no-link ${_varnow_fuzz})
  add_link_options(${_varnow_fuzz})
endif()
