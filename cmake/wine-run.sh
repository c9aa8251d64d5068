#!/usr/bin/env bash
# Runs a Windows test program under Wine, headless, in the build tree's own prefix.
set -euo pipefail
: "${WINEPREFIX:?the Wine lane sets WINEPREFIX to a folder in its build tree}"
# Wine's own shutdown.exe may only load as a native file, which the prefix lacks: it can
# never run here.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;shutdown.exe=n"
unset DISPLAY WAYLAND_DISPLAY
exec wine "$@"
