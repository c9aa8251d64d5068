#!/usr/bin/env bash
# Installs the build into a fresh prefix inside the build folder, as a package would, and
# checks that the program, its helper and every file of the desktop integration are there.
#
# usage: install_prefix.sh CMAKE BUILD_FOLDER PREFIX
set -euo pipefail

cmake=$1
build=$2
prefix=$3
case "$prefix" in
"$build"/?*) ;;
*)
    echo "refusing to install outside the build folder: $prefix" >&2
    exit 2
    ;;
esac

rm -rf "$prefix"
"$cmake" --install "$build" --prefix "$prefix" >/dev/null

id=org.example.Korvane
status=0
for program in bin/korvane libexec/korvane/shutdown libexec/korvane/notifier; do
    [ -x "$prefix/$program" ] || { echo "not installed: $program" >&2; status=1; }
done
for file in share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/icons/hicolor/scalable/apps/$id.svg etc/xdg/autostart/$id.Notifier.desktop \
    share/dbus-1/services/$id.Notifier.service lib/systemd/user/$id.Notifier.service \
    lib/systemd/user/graphical-session.target.wants/$id.Notifier.path; do
    [ -f "$prefix/$file" ] || { echo "not installed: $file" >&2; status=1; }
done
# Both start the installed notifier.
for file in etc/xdg/autostart/$id.Notifier.desktop share/dbus-1/services/$id.Notifier.service; do
    grep -qxF "Exec=$prefix/libexec/korvane/notifier" "$prefix/$file" ||
        { echo "$file does not start $prefix/libexec/korvane/notifier" >&2; status=1; }
done
desktop-file-validate "$prefix/etc/xdg/autostart/$id.Notifier.desktop" >&2 || status=1
# The user manager ignores a key it does not know with no more than a word, so any word fails.
runtime=$(mktemp -d)
verdict=$(XDG_RUNTIME_DIR=$runtime systemd-analyze verify --user \
    "$prefix/lib/systemd/user/$id.Notifier.path" "$prefix/lib/systemd/user/$id.Notifier.service" \
    2>&1) || status=1
rm -rf "$runtime"
[ -z "$verdict" ] || { echo "$verdict" >&2; status=1; }
grep -qxF "ExecStart=$prefix/libexec/korvane/notifier" "$prefix/lib/systemd/user/$id.Notifier.service" ||
    { echo "the user unit does not start $prefix/libexec/korvane/notifier" >&2; status=1; }
# A theme looks an icon up by its folder's size, so each PNG must really be that size.
for size in 16 32 48 64 128 256; do
    icon=share/icons/hicolor/${size}x${size}/apps/$id.png
    actual=$(identify -format '%wx%h' "$prefix/$icon" 2>/dev/null || echo missing)
    [ "$actual" = "${size}x${size}" ] || { echo "$icon: $actual" >&2; status=1; }
done
exit "$status"
