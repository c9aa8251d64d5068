#!/usr/bin/env bash
# Measures Korvane side by side with a bare Qt window (the floor) under a private Xvfb and
# prints the figures as Markdown tables. It prints figures and passes or fails nothing.
#
# Every Korvane it starts is a copy in a temporary prefix whose helper folder holds only a
# recording script, and every program sees a private bus as both its session and its system
# bus, so nothing here can reach the machine's power state.
#
# Knobs (environment): KORVANE_BENCH_RUNS (7), KORVANE_BENCH_IDLE_S (30),
# KORVANE_BENCH_SCHEDULES (50), KORVANE_BENCH_HELPER (the built shutdown helper).
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${KORVANE_BENCH_RUNS:-7}
idle=${KORVANE_BENCH_IDLE_S:-30}
settle=2
schedules=${KORVANE_BENCH_SCHEDULES:-50}
helper=${KORVANE_BENCH_HELPER:-$PWD/build-bench/libexec/korvane/shutdown}

cmake --preset bench >/dev/null
cmake --build --preset bench -j2 >/dev/null
bin=$PWD/build-bench/bin
probe=$bin/korvane_bench_probe

work=$(mktemp -d /tmp/korvane-bench.XXXXXX)
started=()
cleanup() {
    for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    [ -n "${KORVANE_BENCH_KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT

wait_for() { # seconds, then a command that succeeds once the thing is ready
    local tries=$(($1 * 20))
    shift
    until "$@" >/dev/null 2>&1; do
        ((--tries > 0)) || { echo "bench: gave up waiting for: $*" >&2; exit 1; }
        sleep 0.05
    done
}

# A private X server on the first free display; -displayfd tells which one it took.
exec {display_fd}>"$work/display"
Xvfb -displayfd "$display_fd" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
started+=($!)
wait_for 10 test -s "$work/display"
exec {display_fd}>&-
export DISPLAY=:$(cat "$work/display")

dbus-daemon --session --address="unix:path=$work/bus" --nofork --nopidfile \
    >"$work/dbus.log" 2>&1 &
started+=($!)
wait_for 10 test -S "$work/bus"
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/bus
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/bus
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8
unset KORVANE_TRACE_FILE

# The helper folder of the copy holds a recorder, never anything that acts.
prefix=$work/prefix
mkdir -p "$prefix/bin" "$prefix/libexec/korvane"
cp "$bin/korvane" "$prefix/bin/korvane"
printf '#!/bin/sh\necho "$*" >> "%s"\n' "$work/helper-record" >"$prefix/libexec/korvane/shutdown"
chmod +x "$prefix/libexec/korvane/shutdown"
touch "$work/helper-record"

declare -A programs=(
    [floor]="$bin/korvane_floor"
    [text]="$bin/korvane_floor --text"
    [korvane]="$prefix/bin/korvane"
)
order=(floor text korvane)

echo "Start-up, memory and idle cost: $runs runs each, interleaved, ${idle} s idle" >&2
for ((run = 1; run <= runs; ++run)); do
    # Rotate who goes first, so a burst of load elsewhere does not always hit the same one.
    for ((i = 0; i < ${#order[@]}; ++i)); do
        name=${order[(i + run) % ${#order[@]}]}
        # shellcheck disable=SC2086 # the floor's flag is meant to split off
        line=$("$probe" launch "$settle" "$idle" ${programs[$name]} 2>"$work/stderr") || {
            cat "$work/stderr" >&2
            kill -0 "${started[0]}" 2>/dev/null || echo "bench: Xvfb has gone: $(cat "$work/xvfb.log")" >&2
            exit 1
        }
        echo "  run $run $name: $line" >&2
        echo "$line" >>"$work/$name.figures"
    done
done

median() { # key file
    # Whole keys only: cpu_pct must not also pick up sched_cpu_pct.
    grep -oE "(^| )$1=[0-9.]*" "$2" | cut -d= -f2 | sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {if (b > 0) printf "%.2f", a / b; else print "-"}'; }

for name in "${order[@]}"; do
    for key in map_ms hwm_kb cpu_pct sched_cpu_pct wakeups_per_s threads; do
        declare "${name}_$key=$(median "$key" "$work/$name.figures")"
    done
done
mb() { awk -v k="$1" 'BEGIN {printf "%.1f", k / 1024}'; }

# Drives the window like a person: Alt+C, Enter on the default 10, then a click on cancel.
echo "Confirm-to-started and leftovers: $schedules schedules and cancels" >&2
KORVANE_TRACE_FILE=$work/trace "$prefix/bin/korvane" 2>/dev/null &
korvane=$!
started+=("$korvane")
window=$(xdotool search --sync --onlyvisible --pid "$korvane" | head -1)
xdotool windowfocus --sync "$window"
cancel_x=80 cancel_y=100 # the middle of Command3, in window pixels
recorded() { [ "$(wc -l <"$work/helper-record")" -ge "$1" ]; }
prompt_has_focus() { # the prompt is Korvane's other visible window
    local prompt
    prompt=$(xdotool search --onlyvisible --pid "$korvane" | grep -vx "$window" | head -1)
    [ -n "$prompt" ] && [ "$(xdotool getwindowfocus)" = "$prompt" ]
}
for ((i = 1; i <= schedules; ++i)); do
    # No window manager moves the focus for us.
    xdotool windowfocus --sync "$window" key alt+c
    wait_for 10 prompt_has_focus
    xdotool key Return
    wait_for 10 recorded $((2 * i - 1))
    xdotool mousemove --window "$window" $cancel_x $cancel_y click 1
    wait_for 10 recorded $((2 * i))
done
sleep 1
leftovers=$("$probe" children "$korvane")
kill "$korvane"
wait "$korvane" 2>/dev/null || true
confirm=$(awk '$1 == "accepted" {a = $2} $1 == "started" && a {print ($2 - a) / 1e6; a = 0}' \
    "$work/trace" | sort -g | awk '{v[NR] = $1} END {printf "%.2f %.2f %d", v[int((NR + 1) / 2)], v[NR], NR}')
read -r confirm_median confirm_max confirm_count <<<"$confirm"
read -r children zombies threads_after <<<"$(echo "$leftovers" | sed 's/[a-z]*=//g')"

helper_row="| helper \`shutdown -s -t 600\` exec to exit (ms) | n/a (helper not built) | ≤ 30 |"
if [ -x "$helper" ]; then
    echo "Helper against a mock logind on the private bus" >&2
    /usr/bin/python3 -m dbusmock --system --template logind >"$work/mock.log" 2>&1 &
    started+=($!)
    login1=(--bus="$DBUS_SYSTEM_BUS_ADDRESS" --print-reply --dest=org.freedesktop.login1
        /org/freedesktop/login1)
    wait_for 10 dbus-send "${login1[@]}" org.freedesktop.DBus.Peer.Ping
    # The template has no scheduled shutdown; these accept the call and do nothing.
    dbus-send "${login1[@]}" org.freedesktop.DBus.Mock.AddMethod \
        string:org.freedesktop.login1.Manager string:ScheduleShutdown string:st string: string: \
        >/dev/null
    dbus-send "${login1[@]}" org.freedesktop.DBus.Mock.AddMethod \
        string:org.freedesktop.login1.Manager string:CancelScheduledShutdown string: string:b \
        string:'ret = True' >/dev/null
    schedule=$("$probe" run "$runs" "$helper" -s -t 600)
    cancel=$("$probe" run "$runs" "$helper" -a)
    helper_row="| helper exec to exit (ms), median / slowest of $runs: \`-s -t 600\`; \`-a\` | \
$(echo "$schedule" | sed 's/median_ms=\([0-9.]*\) max_ms=\([0-9.]*\)/\1 \/ \2/'); \
$(echo "$cancel" | sed 's/median_ms=\([0-9.]*\) max_ms=\([0-9.]*\)/\1 \/ \2/') | ≤ 30 |"
fi

cat <<EOF

Medians of $runs interleaved runs; idle measured over ${idle} s, from ${settle} s after the window mapped.

| measure | floor | floor + one Chinese label | Korvane | Korvane / floor | target |
|---|---|---|---|---|---|
| launch to first window mapped (ms) | $floor_map_ms | $text_map_ms | $korvane_map_ms | $(ratio "$korvane_map_ms" "$floor_map_ms") | ≤ 1.10 × floor |
| peak resident memory, VmHWM (MB) | $(mb "$floor_hwm_kb") | $(mb "$text_hwm_kb") | $(mb "$korvane_hwm_kb") | $(ratio "$korvane_hwm_kb" "$floor_hwm_kb") | ≤ 1.15 × floor |
| idle CPU, utime+stime / wall (% of one core) | $floor_cpu_pct | $text_cpu_pct | $korvane_cpu_pct | | ≤ 0.2 |
| idle CPU, threads' scheduler run time / wall (%) | $floor_sched_cpu_pct | $text_sched_cpu_pct | $korvane_sched_cpu_pct | | ≤ 0.2 |
| idle wake-ups (context switches of all threads / s) | $floor_wakeups_per_s | $text_wakeups_per_s | $korvane_wakeups_per_s | | |
| threads | $floor_threads | $text_threads | $korvane_threads | | |

| measure | Korvane | target |
|---|---|---|
| confirm the input box to helper started (ms), median / slowest of $confirm_count | $confirm_median / $confirm_max | ≤ 5 |
| after $schedules schedules and cancels: children / zombies / threads left | $children / $zombies / $threads_after | 0 / 0 / one above the start (the reaper) |
$helper_row
EOF
