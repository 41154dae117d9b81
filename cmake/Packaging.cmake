# SPDX-License-Identifier: MIT
# The Debian package: `cpack -G DEB` in the build folder. Both programs (stripped), the menu
# entry, the icon, the AppStream metadata, both man pages, the copyright file and the changelog,
# installed below /usr; the shared libraries the programs link give the package's Depends.
# `lintian` passes it without an error or a warning (the InstallAndPackage test).
set(CPACK_PACKAGE_NAME "varnow")
set(CPACK_PACKAGE_VERSION "${VARNOW_VERSION_SHORT}")
# The package's own revision: a newer package of the same program version upgrades an older one.
# It is the version of the newest entry of data/debian/changelog.in.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_VENDOR "Varnow")
set(CPACK_PACKAGE_CONTACT "${VARNOW_MAINTAINER}")
if(VARNOW_PROJECT_URL)
  set(CPACK_PACKAGE_HOMEPAGE_URL "${VARNOW_PROJECT_URL}")
endif()
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "clean HTML pages in bulk")
# Lines of at most 79 columns: the control file indents each by one.
set(CPACK_PACKAGE_DESCRIPTION
  "Varnow cleans every HTML page below a folder: scripts, styles, span and
font tags, Word markup, banner blocks between markers of your own,
attributes of table, body and paragraph tags, new-window targets and
mouse-over handlers. It writes a cleaned copy of each page into a mirrored
output tree and logs every change with its position; the pages themselves
are never rewritten. The package holds the desktop program varnow and the
command varnow-cli.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_GENERATOR "DEB")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "web")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Plugins that no linked library names: the window system's (xcb) and the one that draws the
# program's SVG icons. The shared libraries' packages are added to these.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")

include(GNUInstallDirs)
set(VARNOW_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/varnow)
set(debian_changelog ${CMAKE_BINARY_DIR}/changelog.Debian.gz)
# The changelog's trailer names the maintainer the build was given.
configure_file(${PROJECT_SOURCE_DIR}/data/debian/changelog.in ${CMAKE_BINARY_DIR}/changelog @ONLY)
add_custom_command(OUTPUT ${debian_changelog}
  COMMAND gzip -n -9 -c ${CMAKE_BINARY_DIR}/changelog > ${debian_changelog}
  DEPENDS ${CMAKE_BINARY_DIR}/changelog
  VERBATIM)
add_custom_target(varnow-changelog ALL DEPENDS ${debian_changelog})
install(FILES ${debian_changelog} DESTINATION ${VARNOW_DOC_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/debian/copyright DESTINATION ${VARNOW_DOC_DIR})
# The about box links to these where they are installed.
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${VARNOW_DOC_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/debian/lintian-overrides
  DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME varnow)

include(CPack)
