#!/usr/bin/env bash
# Builds the Debian package from the build folder, as `cpack -G DEB` there does, and checks
# what dpkg will see: the dependencies on Qt from the libraries, the font and the bus named
# by hand, and the files under /usr.
#
# usage: check_package.sh BUILD_FOLDER OUTPUT_FOLDER VERSION
set -euo pipefail

build=$1
output=$2
version=$3
rm -rf "$output"
mkdir -p "$output"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$output" >"$output/cpack.log" ||
    { cat "$output/cpack.log" >&2; exit 1; }
package=$(echo "$output/korvane_${version}_"*.deb)
[ -f "$package" ] || { echo "no package in $output" >&2; exit 1; }

status=0
expect() {
    local field=$1 pattern=$2 value
    value=$(dpkg-deb --field "$package" "$field")
    grep -qE -- "$pattern" <<<"$value" || { echo "$field: '$value' lacks $pattern" >&2; status=1; }
}
expect Package '^korvane$'
expect Version "^${version//./\\.}\$"
expect Maintainer '^Korvane developers <korvane@example\.org>$'
expect Depends 'libqt6widgets6 \(>= '
expect Depends 'libqt6dbus6 \(>= '
expect Depends '(^|, )fonts-noto-cjk \| fonts-wqy-microhei(,|$)'
expect Depends '(^|, )dbus(,|$)'

files=$(dpkg-deb --contents "$package" | awk '{print $6}')
for file in ./usr/bin/korvane ./usr/libexec/korvane/shutdown ./usr/libexec/korvane/notifier \
    ./etc/xdg/autostart/org.example.Korvane.Notifier.desktop \
    ./usr/share/dbus-1/services/org.example.Korvane.Notifier.service \
    ./usr/lib/systemd/user/org.example.Korvane.Notifier.service \
    ./usr/lib/systemd/user/org.example.Korvane.Notifier.path \
    ./usr/lib/systemd/user/graphical-session.target.wants/org.example.Korvane.Notifier.path \
    ./usr/share/applications/org.example.Korvane.desktop \
    ./usr/share/metainfo/org.example.Korvane.metainfo.xml \
    ./usr/share/icons/hicolor/48x48/apps/org.example.Korvane.png; do
    grep -qxF "$file" <<<"$files" || { echo "not in the package: $file" >&2; status=1; }
done
# Where a user manager runs, it alone starts the notifier.
holds() { dpkg-deb --fsys-tarfile "$package" | tar -xO "./$1" | grep -qxF "$2" || { echo "$1 lacks $2" >&2; status=1; }; }
holds usr/share/dbus-1/services/org.example.Korvane.Notifier.service SystemdService=org.example.Korvane.Notifier.service
holds etc/xdg/autostart/org.example.Korvane.Notifier.desktop X-GNOME-HiddenUnderSystemd=true
holds etc/xdg/autostart/org.example.Korvane.Notifier.desktop X-systemd-skip=true
holds usr/lib/systemd/user/org.example.Korvane.Notifier.path PartOf=graphical-session.target
exit "$status"
