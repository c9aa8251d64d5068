#!/usr/bin/env bash
# Runs a Windows test program under Wine, headless, in the build tree's own prefix.
set -euo pipefail
: "${WINEPREFIX:?the Wine lane sets WINEPREFIX to a folder in its build tree}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
exec wine "$@"
