#!/usr/bin/env bash
# Builds the Debian package from the build folder, as `cpack -G DEB` there does, and checks
# what dpkg will see: the dependencies on Qt from the libraries, the font and the bus named
# by hand, and the files under /usr; that its manual pages render without a warning; and
# that lintian finds no error or warning in it.
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
    ./usr/share/icons/hicolor/48x48/apps/org.example.Korvane.png \
    ./usr/share/man/man1/korvane.1.gz ./usr/share/man/zh_CN/man1/korvane.1.gz \
    ./usr/share/doc/korvane/copyright ./usr/share/doc/korvane/changelog.gz; do
    grep -qxF "$file" <<<"$files" || { echo "not in the package: $file" >&2; status=1; }
done
# Where a user manager runs, it alone starts the notifier.
holds() { dpkg-deb --fsys-tarfile "$package" | tar -xO "./$1" | grep -qxF "$2" || { echo "$1 lacks $2" >&2; status=1; }; }
holds usr/share/dbus-1/services/org.example.Korvane.Notifier.service SystemdService=org.example.Korvane.Notifier.service
holds etc/xdg/autostart/org.example.Korvane.Notifier.desktop X-GNOME-HiddenUnderSystemd=true
holds etc/xdg/autostart/org.example.Korvane.Notifier.desktop X-systemd-skip=true
holds usr/lib/systemd/user/org.example.Korvane.Notifier.path PartOf=graphical-session.target

unpacked=$output/root
dpkg-deb --extract "$package" "$unpacked"
# lintian reads the changelog's syntax, not whether its newest entry is this release.
newest=$(zcat "$unpacked/usr/share/doc/korvane/changelog.gz" | dpkg-parsechangelog -l - -S Version)
[ "$newest" = "$version" ] || { echo "changelog.gz: newest entry $newest, not $version" >&2; status=1; }

# As man shows them installed, on a terminal 80 wide.
for page in man/man1 man/zh_CN/man1; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l \
        "$unpacked/usr/share/$page/korvane.1.gz" 2>&1 >/dev/null) || status=1
    [ -z "$warnings" ] || { echo "$page: man --warnings says:" >&2; echo "$warnings" >&2; status=1; }
done

# Any error or warning fails; --no-cfg so that no profile or setting on this machine hides
# one.
lintian --no-cfg --fail-on error,warning "$package" >"$output/lintian.log" 2>&1 ||
    { echo "lintian on $package:" >&2; cat "$output/lintian.log" >&2; status=1; }
exit "$status"
