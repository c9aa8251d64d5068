# Run at install time: writes the autostart entry and the bus's service file with the
# notifier's installed path. The autostart entry goes to <prefix>/etc/xdg/autostart, and for
# a /usr prefix (the Debian package's) to /etc/xdg/autostart, as GNUInstallDirs places
# settings, where desktops look for it.
# cmake --install --prefix takes a relative folder as relative to where it runs.
get_filename_component(prefix "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
if(prefix STREQUAL "/usr")
    set(sysconf /etc)
else()
    set(sysconf ${prefix}/etc)
endif()
set(KORVANE_NOTIFIER_PATH "${prefix}/${KORVANE_HELPER_DIR}/notifier")
set(id org.example.Korvane.Notifier)
set(autostart "$ENV{DESTDIR}${sysconf}/xdg/autostart")
set(services "$ENV{DESTDIR}${prefix}/${KORVANE_DATADIR}/dbus-1/services")
file(MAKE_DIRECTORY "${autostart}" "${services}")
configure_file("${KORVANE_NOTIFIER_SOURCE_DIR}/${id}.desktop.in" "${autostart}/${id}.desktop" @ONLY)
configure_file("${KORVANE_NOTIFIER_SOURCE_DIR}/${id}.service.in" "${services}/${id}.service" @ONLY)
message(STATUS "Installing: ${autostart}/${id}.desktop")
message(STATUS "Installing: ${services}/${id}.service")
