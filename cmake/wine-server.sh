#!/usr/bin/env bash
# start: makes the prefix and keeps one wineserver running for the whole test run, so that
# Wine's background services do not hold each test's output open; stop: ends it.
set -euo pipefail
: "${WINEPREFIX:?the Wine lane sets WINEPREFIX to a folder in its build tree}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

case "${1:-}" in
start)
    mkdir -p "$WINEPREFIX"
    # Without an X server Wine refuses to make windows ("no driver could be loaded"); its
    # null display driver makes them, unseen, so the window tests run headless. Set before
    # the prefix boots: a desktop process that came up without a driver stalls every
    # later program for seconds.
    if [ ! -e "$WINEPREFIX/user.reg" ]; then
        printf '%s\n' 'WINE REGISTRY Version 2' '#arch=win64' '' \
            '[Software\\Wine\\Drivers]' '"Graphics"="null"' >"$WINEPREFIX/user.reg"
    fi
    wineserver -p </dev/null >/dev/null 2>&1
    wine wineboot --init </dev/null >/dev/null 2>&1
    # A prefix made before this setting gets it now.
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
    ;;
stop)
    wineserver -k || true
    ;;
*)
    echo "usage: $0 start|stop" >&2
    exit 2
    ;;
esac
