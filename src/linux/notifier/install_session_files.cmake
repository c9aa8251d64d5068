# Run at install time: writes the autostart entry and the bus's service file with the
# notifier's installed path. The autostart entry goes to <prefix>/etc/xdg/autostart, and to
# /etc/xdg/autostart in the package, where desktops look for it.
if(DEFINED CPACK_PACKAGING_INSTALL_PREFIX)
    # cpack stages the package's /usr at CMAKE_INSTALL_PREFIX.
    set(installed_prefix ${CPACK_PACKAGING_INSTALL_PREFIX})
    string(LENGTH "${CMAKE_INSTALL_PREFIX}" length)
    string(LENGTH "${installed_prefix}" suffix)
    math(EXPR length "${length} - ${suffix}")
    string(SUBSTRING "${CMAKE_INSTALL_PREFIX}" 0 ${length} staging)
    set(autostart "${staging}/etc/xdg/autostart")
else()
    set(installed_prefix ${CMAKE_INSTALL_PREFIX})
    set(autostart "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/etc/xdg/autostart")
endif()
set(KORVANE_NOTIFIER_PATH "${installed_prefix}/${KORVANE_HELPER_DIR}/notifier")
set(id org.example.Korvane.Notifier)
set(services "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${KORVANE_DATADIR}/dbus-1/services")
file(MAKE_DIRECTORY "${autostart}" "${services}")
configure_file("${KORVANE_NOTIFIER_SOURCE_DIR}/${id}.desktop.in" "${autostart}/${id}.desktop" @ONLY)
configure_file("${KORVANE_NOTIFIER_SOURCE_DIR}/${id}.service.in" "${services}/${id}.service" @ONLY)
message(STATUS "Installing: ${autostart}/${id}.desktop")
message(STATUS "Installing: ${services}/${id}.service")
