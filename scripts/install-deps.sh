#!/usr/bin/env bash
# Installs the Debian packages Korvane needs that are missing: "run" for building and
# starting it, "package" for also making its Debian package, "windows-release" for the
# Windows ZIP and installer, "test" for building it and running every test, "bench" for
# bench/run.sh.
set -euo pipefail

purpose=${1:-run}
packages=(cmake ninja-build g++ qt6-base-dev fonts-noto-cjk)
case "$purpose" in
run) ;;
package)
    packages+=(dpkg-dev file)
    ;;
windows-release)
    packages+=(g++-mingw-w64-x86-64-posix nsis)
    ;;
test)
    packages+=(libgtest-dev clang-format dbus-daemon python3-dbusmock python3-dbus)
    # Fuzzers, sanitizers and static analysis.
    packages+=(clang libclang-rt-14-dev clang-tidy cppcheck)
    # The installed program under an X server of its own, its desktop files and its package.
    packages+=(xvfb openbox xdotool x11-utils imagemagick desktop-file-utils appstream dpkg-dev file)
    # Debian's own checker of the package, and man with groff to render its manual pages.
    packages+=(lintian man-db groff-base)
    # The desktop notifier's warnings, shown by a real notification server.
    packages+=(notification-daemon)
    # systemd-analyze, which verifies the notifier's user units, and a real user manager with
    # its own user bus for the notifier's tests.
    packages+=(systemd dbus-user-session)
    # The Windows code, cross-built and run under Wine.
    packages+=(googletest g++-mingw-w64-x86-64-posix wine wine64)
    # The Windows ZIP and installer, made and tried under Wine.
    packages+=(nsis)
    # Every core kept busy while scripts/stress-tests.sh runs the tests.
    packages+=(stress-ng)
    ;;
bench)
    packages+=(libx11-dev xvfb xdotool dbus-daemon dbus-bin python3-dbusmock)
    ;;
*)
    echo "usage: $0 [run|package|windows-release|test|bench]" >&2
    exit 2
    ;;
esac

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
