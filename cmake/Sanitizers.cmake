# SPDX-License-Identifier: MIT
if(VARNOW_SANITIZE)
  # -O1 keeps the sanitized suite quick without hiding what the sanitizers look for.
  set(_varnow_san -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_compile_options(-O1)
  add_compile_options(${_varnow_san})
  add_link_options(${_varnow_san})
endif()

if(VARNOW_TSAN)
  # The threads of a parallel run: every access they share must be ordered.
  set(_varnow_tsan -fsanitize=thread -fno-omit-frame-pointer)
  add_compile_options(-O1)
  add_compile_options(${_varnow_tsan})
  add_link_options(${_varnow_tsan})
endif()
