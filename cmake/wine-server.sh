#!/usr/bin/env bash
# start: makes the prefix and keeps one wineserver running for the whole test run, so that
# Wine's background services do not hold each test's output open; stop: ends it.
set -euo pipefail
: "${WINEPREFIX:?the Wine lane sets WINEPREFIX to a folder in its build tree}"
# Wine's own shutdown.exe may only load as a native file, which the prefix lacks: it can
# never run here.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;shutdown.exe=n"
unset DISPLAY WAYLAND_DISPLAY

case "${1:-}" in
start)
    mkdir -p "$WINEPREFIX"
    # Without an X server Wine refuses to make windows ("no driver could be loaded"); its
    # null display driver makes them, unseen, so the window tests run headless. Set before
    # the prefix boots, so that Wine's own desktop process has it from the start.
    if [ ! -e "$WINEPREFIX/user.reg" ]; then
        printf '%s\n' 'WINE REGISTRY Version 2' '#arch=win64' '' \
            '[Software\\Wine\\Drivers]' '"Graphics"="null"' >"$WINEPREFIX/user.reg"
    fi
    wine wineboot --init </dev/null >/dev/null 2>&1
    # A new prefix goes on setting itself up after wineboot returns; until that is done,
    # every program with windows waits about ten seconds for the desktop. Let it finish.
    wineserver -w </dev/null >/dev/null 2>&1
    wineserver -p </dev/null >/dev/null 2>&1
    # The first program starts Wine's services, which keep its output open: this one's
    # goes nowhere. A prefix made before the driver setting above gets it here.
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
