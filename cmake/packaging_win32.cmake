# The Windows release: korvane-VERSION-win64.zip, the program alone to unpack anywhere, and
# korvane-VERSION-win64.exe, an installer for all users (cmake/NSIS.template.in).
set(CPACK_GENERATOR "ZIP;NSIS")
set(CPACK_PACKAGE_DESCRIPTION
    "Korvane shuts the computer down or restarts it after a delay typed in minutes, and\
 cancels such a pending action. Its windows are in Simplified Chinese.")
# The program at the top of the archive, not in a folder named after the package.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)

list(APPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR})
set(CPACK_NSIS_PACKAGE_NAME Korvane)
set(CPACK_NSIS_DISPLAY_NAME Korvane)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Korvane)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Korvane)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/data/icons/korvane.ico)
set(CPACK_NSIS_MUI_UNIICON ${CPACK_NSIS_MUI_ICON})
set(CPACK_KORVANE_PROGRAM korvane.exe)

# The installer's version record says what the program's says (1.0.0.0 and "1.00"), from the
# numbers the top level derives from project(VERSION).
set(CPACK_KORVANE_VERSION_QUAD "${KORVANE_VERSION_QUAD}")
set(CPACK_KORVANE_VERSION_TEXT "${KORVANE_VERSION_TEXT}")
