# The Debian package: `cpack -G DEB` in the build folder. Both programs, the menu entry, the
# icon, the AppStream metadata and the man page, installed below /usr; the shared libraries
# the programs link give the package's Depends.
set(CPACK_PACKAGE_NAME "varnow")
set(CPACK_PACKAGE_VERSION "${VARNOW_VERSION_SHORT}")
set(CPACK_PACKAGE_VENDOR "Varnow")
set(CPACK_PACKAGE_CONTACT "Varnow <varnow@example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.example.org/varnow/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "clean HTML pages in bulk")
set(CPACK_PACKAGE_DESCRIPTION
  "Varnow cleans every HTML page below a folder: scripts, styles, span and font tags, Word
markup, banner blocks between markers of your own, attributes of table, body and paragraph
tags, new-window targets and mouse-over handlers. It writes a cleaned copy of each page into a
mirrored output tree and logs every change with its position; the pages themselves are never
rewritten. The package holds the desktop program varnow and the command varnow-cli.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_GENERATOR "DEB")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "web")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Plugins that no linked library names: the window system's (xcb) and the one that draws the
# program's SVG icons. The shared libraries' packages are added to these.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
