# SPDX-License-Identifier: MIT
# A program's man page in each language, compressed as Debian's policy has it: the English one
# from data/NAME.1 into man1/, the Russian one from data/ru/NAME.1 into ru/man1/.
include(GNUInstallDirs)
function(varnow_man_page name)
  set(pages "")
  foreach(language "" "ru")
    set(source ${PROJECT_SOURCE_DIR}/data/${language}/${name}.1)
    set(folder ${CMAKE_CURRENT_BINARY_DIR}/man/${language})
    set(page ${folder}/${name}.1.gz)
    add_custom_command(OUTPUT ${page}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
      COMMAND gzip -n -9 -c ${source} > ${page}
      DEPENDS ${source}
      VERBATIM)
    if(language STREQUAL "")
      install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    else()
      install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/${language}/man1)
    endif()
    list(APPEND pages ${page})
  endforeach()
  add_custom_target(${name}-man ALL DEPENDS ${pages})
endfunction()
