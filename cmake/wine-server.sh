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
    wineserver -p </dev/null >/dev/null 2>&1
    wine wineboot --init </dev/null >/dev/null 2>&1
    ;;
stop)
    wineserver -k || true
    ;;
*)
    echo "usage: $0 start|stop" >&2
    exit 2
    ;;
esac
