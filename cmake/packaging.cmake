# cpack in the build folder packages what the install rules name: on Linux `-G DEB`, a
# package for Debian 12 under /usr; on Windows `-G "ZIP;NSIS"`, a ZIP holding the program
# and an installer (cmake/packaging_win32.cmake).
set(CPACK_PACKAGE_NAME korvane)
set(CPACK_PACKAGE_VENDOR "Korvane developers")
set(CPACK_PACKAGE_CONTACT "Korvane developers <korvane@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "shut down or restart the computer after a delay")
# One line each, as Debian's control file holds them: under 80 columns.
set(CPACK_PACKAGE_DESCRIPTION
    "Korvane shuts the computer down or restarts it after a delay typed in minutes,\n\
and cancels such a pending action, through systemd-logind. Its windows are in\n\
Simplified Chinese. On the desktop, a small notifier warns of any pending\n\
power-off or restart at once, ten minutes and one minute before.")
set(CPACK_STRIP_FILES ON)

if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/packaging_win32.cmake)
    include(CPack)
    return()
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps finds the Qt and C++ libraries; what the program needs at run time without
# linking it is named here: glyphs for its Chinese text, and the system bus that the
# shutdown helper reaches logind on.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk | fonts-wqy-microhei, dbus")
# The desktop notifier shows its warnings through one; every desktop brings its own.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "notification-daemon")
# An administrator's edit of the autostart entry (Hidden=true) survives an upgrade.
set(korvane_conffiles ${CMAKE_BINARY_DIR}/debian/conffiles)
file(WRITE ${korvane_conffiles} "/etc/xdg/autostart/org.example.Korvane.Notifier.desktop\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${korvane_conffiles})

include(CPack)
