#!/usr/bin/env bash
# Runs test lanes again and again while stress-ng keeps every core busy, and counts the runs
# that failed: a test that waits too little for something fails here first.
#
# usage: scripts/stress-tests.sh [-n ROUNDS] LANE...
#   LANE is a test preset (ctest --list-presets: ci, win32, win32-e2e...), PRESET:LABEL for
#   the tests of that preset with that ctest label (ci:ui), or a bare label of the ci preset
#   (ui = ci:ui, e2e = ci:e2e). Each lane runs ROUNDS times (default 5), all once per round.
#   The builds must exist: this runs tests, it builds nothing (cmake --build --preset PRESET).
# example: scripts/stress-tests.sh -n 5 ui e2e win32 win32-e2e
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
    sed -n 's/^# \{0,1\}//; 5,10p' "$0" >&2
    exit 2
}

rounds=5
while getopts n:h option; do
    case "$option" in
    n) rounds=$OPTARG ;;
    *) usage ;;
    esac
done
shift $((OPTIND - 1))
if [ $# -eq 0 ] || ! [[ "$rounds" =~ ^[1-9][0-9]*$ ]]; then usage; fi
command -v stress-ng >/dev/null || {
    echo "stress-ng is missing: scripts/install-deps.sh test" >&2
    exit 2
}

presets=$(ctest --list-presets | sed -n 's/^ *"\(.*\)"$/\1/p')
# The ctest arguments of a lane, one a line.
lane_arguments() {
    local preset=${1%%:*} label=
    [[ "$1" == *:* ]] && label=${1#*:}
    if [[ "$1" != *:* ]] && ! grep -qx -- "$1" <<<"$presets"; then
        preset=ci
        label=$1
    fi
    printf '%s\n' --preset "$preset"
    [ -z "$label" ] || printf '%s\n' -L "^$label\$"
}

# Every lane must have tests before the load starts: a missing build is not a failure under
# load.
for lane in "$@"; do
    mapfile -t arguments < <(lane_arguments "$lane")
    listed=$(ctest "${arguments[@]}" -N 2>&1 || true)
    if ! grep -Eq '^Total Tests: [1-9]' <<<"$listed"; then
        echo "$lane: no tests found (ctest ${arguments[*]}); build it first" >&2
        exit 2
    fi
done

logs=$(mktemp -d "${TMPDIR:-/tmp}/korvane-stress.XXXXXX")
stress-ng --cpu "$(nproc)" --quiet >"$logs/stress-ng.log" 2>&1 &
load=$!
# stress-ng ends its workers when it is told to end.
trap 'kill "$load" 2>/dev/null || true; wait "$load" 2>/dev/null || true' EXIT
trap 'exit 130' INT TERM HUP
echo "stress-ng --cpu $(nproc) is running; logs in $logs"

declare -A failures=() failed_tests=()
for round in $(seq "$rounds"); do
    for lane in "$@"; do
        mapfile -t arguments < <(lane_arguments "$lane")
        log="$logs/${lane//[:\/]/_}.$round.log"
        started=$SECONDS
        if ctest "${arguments[@]}" >"$log" 2>&1; then
            result=passed
        else
            result=FAILED
            failures[$lane]=$((${failures[$lane]:-0} + 1))
            # ctest lists them as "  12 - name (Failed)".
            failed_tests[$lane]+=$(sed -n '/tests FAILED:/,$s/^[[:space:]]*[0-9]* - / /p' "$log" |
                tr -d '\n')
        fi
        echo "round $round/$rounds: $lane $result in $((SECONDS - started)) s ($log)"
    done
done

echo
echo "Summary: $rounds round(s) under stress-ng --cpu $(nproc)"
status=0
for lane in "$@"; do
    count=${failures[$lane]:-0}
    [ "$count" -eq 0 ] || status=1
    printf '  %-20s runs %d, failures %d%s\n' "$lane" "$rounds" "$count" \
        "${failed_tests[$lane]:+:${failed_tests[$lane]}}"
done
exit "$status"
