# SPDX-License-Identifier: MIT
# The Windows package: `cmake --build --preset windows --target package` makes
# varnow-cli-VERSION-windows-x86_64.zip, varnow-cli.exe (static: no DLL beside it) with the
# README and the licence.
set(CPACK_PACKAGE_NAME "varnow-cli")
set(CPACK_PACKAGE_VERSION "${VARNOW_VERSION_SHORT}")
set(CPACK_PACKAGE_VENDOR "Varnow")
set(CPACK_GENERATOR "ZIP")
set(CPACK_PACKAGE_FILE_NAME "varnow-cli-${VARNOW_VERSION_SHORT}-windows-x86_64")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES ON)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)
include(CPack)
