# Run at install time: writes the files that start the notifier, each with its installed path.
# The autostart entry goes to <prefix>/etc/xdg/autostart, and for a /usr prefix (the Debian
# package's) to /etc/xdg/autostart, as GNUInstallDirs places settings, where desktops look
# for it. The user units go to <prefix>/lib/systemd/user, with the path unit enabled for
# every user by a link in graphical-session.target.wants beside them.
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
set(units "$ENV{DESTDIR}${prefix}/lib/systemd/user")
set(wants "${units}/graphical-session.target.wants")
file(MAKE_DIRECTORY "${autostart}" "${services}" "${wants}")
foreach(pair "desktop.in:${autostart}/${id}.desktop" "bus-service.in:${services}/${id}.service"
             "service.in:${units}/${id}.service" "path.in:${units}/${id}.path")
    string(REPLACE ":" ";" pair "${pair}")
    list(GET pair 0 source)
    list(GET pair 1 installed)
    configure_file("${KORVANE_NOTIFIER_SOURCE_DIR}/${id}.${source}" "${installed}" @ONLY)
    message(STATUS "Installing: ${installed}")
endforeach()
file(CREATE_LINK "../${id}.path" "${wants}/${id}.path" SYMBOLIC)
message(STATUS "Installing: ${wants}/${id}.path")
