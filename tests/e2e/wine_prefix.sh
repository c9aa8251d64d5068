#!/usr/bin/env bash
# Makes the win32-e2e lane's Wine prefix afresh in the build folder, as a Windows user's
# machine would be after installing Korvane into "C:\Program Files\Korvane": glyphs for the
# Chinese text, the recording probe as shutdown.exe in the system folder, decoys of it beside
# korvane.exe and in the folder the program starts in (which must never run), and the system
# information tool's registry value pointing at the probe as msinfo32.exe.
#
# usage: WINEPREFIX=BUILD/... wine_prefix.sh CMAKE BUILD_FOLDER PROBE_EXE
set -euo pipefail

cmake=$1
build=$2
probe=$3
: "${WINEPREFIX:?the lane sets WINEPREFIX to a folder in its build tree}"
case "$WINEPREFIX" in
"$build"/?*) ;;
*)
    echo "refusing to make a Wine prefix outside the build folder: $WINEPREFIX" >&2
    exit 2
    ;;
esac
# Wine's own shutdown.exe may only load as a native file: the recording probe takes its place
# in the system folder, and Wine's own can never run here.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;shutdown.exe=n"
unset DISPLAY WAYLAND_DISPLAY

log=$WINEPREFIX.log
wineserver -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
# Output to a file: Wine's background services keep whatever they inherit open.
wine wineboot --init </dev/null >"$log" 2>&1
wineserver -w
wineserver -p </dev/null >>"$log" 2>&1
trap 'wineserver -k 2>/dev/null || true' EXIT

reg_add() {
    wine reg add "$@" /f </dev/null >>"$log" 2>&1 || { cat "$log" >&2; exit 1; }
}
# A fresh prefix draws Chinese as boxes: the dialog font becomes a CJK one.
reg_add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
    /v 'MS Shell Dlg' /d 'Noto Sans CJK SC'
tool='C:\Program Files\Common Files\Microsoft Shared\MSInfo\msinfo32.exe'
reg_add 'HKLM\SOFTWARE\Microsoft\Shared Tools\MSINFO' /v PATH /d "$tool"

drive=$WINEPREFIX/drive_c
mkdir -p "$drive/Program Files/Common Files/Microsoft Shared/MSInfo"
cp "$probe" "$drive/Program Files/Common Files/Microsoft Shared/MSInfo/msinfo32.exe"
folder="$drive/Program Files/Korvane"
"$cmake" --install "$build" --prefix "$folder" >>"$log"
cp "$probe" "$drive/windows/system32/shutdown.exe"
mkdir -p "$drive/Downloads"
cp "$probe" "$folder/shutdown.exe"
cp "$probe" "$drive/Downloads/shutdown.exe"
[ -f "$folder/korvane.exe" ] || { echo "not installed: $folder/korvane.exe" >&2; exit 1; }
