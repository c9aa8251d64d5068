#!/usr/bin/env bash
# Runs one command against a bus of its own that takes the place of the system bus, with a mock
# systemd-logind on it unless --no-logind is given, and takes both down afterwards. The
# command sees the bus only as DBUS_SYSTEM_BUS_ADDRESS, and no session bus at all, so nothing
# it starts can reach the machine's own logind.
#
# --own-run-systemd runs it in a mount namespace of its own with a tmpfs over /run/systemd,
# where a test may start a user manager of its own and write logind's schedule file; where
# that cannot be had, KORVANE_OWN_RUN_SYSTEMD says why instead of "yes".
#
# --session gives it a private session bus as well (DBUS_SESSION_BUS_ADDRESS), which starts
# programs from the service files in DIR with --services DIR; --notifications puts a mock
# notification server on that bus.
#
# usage: private_bus.sh [--no-logind] [--own-run-systemd] [--session] [--notifications]
#                       [--services DIR] COMMAND [ARGUMENT...]
set -euo pipefail

arguments=("$@")
with_logind=yes
with_session=no
with_notifications=no
services=
own_run_systemd=no
while [ $# -gt 0 ]; do
    case "$1" in
    --no-logind) with_logind=no ;;
    --own-run-systemd) own_run_systemd=yes ;;
    --session) with_session=yes ;;
    --notifications) with_session=yes with_notifications=yes ;;
    --services)
        with_session=yes services=$2
        shift
        ;;
    *) break ;;
    esac
    shift
done
[ $# -gt 0 ] || { echo "usage: $0 [--no-logind] [--own-run-systemd] [--session] [--notifications] [--services DIR] COMMAND [ARGUMENT...]" >&2; exit 2; }
here=$(dirname "$(realpath "$0")")
# Mounts only in a child of unshare, so never over the machine's own /run/systemd.
own_mounts() {
    [ "$(readlink /proc/self/ns/mnt)" != "${KORVANE_OUTER_MOUNTS:-}" ] &&
        grep -q ' /run/systemd .* - tmpfs korvane-test ' /proc/self/mountinfo
}
if [ "$own_run_systemd" = no ]; then
    unset KORVANE_OWN_RUN_SYSTEMD KORVANE_OUTER_MOUNTS
elif [ "${KORVANE_OWN_RUN_SYSTEMD:-}" = yes ]; then
    own_mounts || { echo "/run/systemd is not this test's own" >&2; exit 2; }
elif unshare -m --propagation private true 2>/dev/null; then
    # Private propagation: nothing mounted in there is seen outside.
    KORVANE_OUTER_MOUNTS=$(readlink /proc/self/ns/mnt)
    export KORVANE_OUTER_MOUNTS
    exec unshare -m --propagation private /bin/sh -euc '
        [ "$(readlink /proc/self/ns/mnt)" != "$KORVANE_OUTER_MOUNTS" ]
        mkdir -p /run/systemd
        mount -t tmpfs -o mode=0755 korvane-test /run/systemd
        mkdir /run/systemd/system /run/systemd/shutdown
        exec env KORVANE_OWN_RUN_SYSTEMD=yes "$0" "$@"' "$here/private_bus.sh" "${arguments[@]}"
else
    export KORVANE_OWN_RUN_SYSTEMD="no mount namespace here (unshare -m is refused)"
fi

# Debian's interpreter: the one that has python3-dbusmock and python3-dbus.
python=/usr/bin/python3
# Whatever this starts stops by itself after this long, even if this script is killed: longer
# than any test run under it may take.
lifetime=${KORVANE_PRIVATE_BUS_LIFETIME:-600}

dir=$(mktemp -d "${TMPDIR:-/tmp}/korvane-bus.XXXXXX")
case "$dir" in
/run/* | /var/run/*)
    echo "refusing to put a private bus under $dir" >&2
    exit 2
    ;;
esac
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# Starts a bus of TYPE (system or session) on a socket in $dir, which may start programs
# from the service files in SERVICE_DIR, waits until it listens and sets bus_address.
start_bus() {
    local type=$1 service_dir=${2:-}
    local socket="$dir/${type}_bus_socket"
    [ -z "$service_dir" ] || service_dir="<servicedir>$(realpath "$service_dir")</servicedir>"
    cat >"$dir/$type.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>$type</type>
  <listen>unix:path=$socket</listen>
  <auth>EXTERNAL</auth>
  $service_dir
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_type="method_call"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
CONF
    timeout "$lifetime" dbus-daemon --config-file="$dir/$type.conf" --nofork --nopidfile \
        2>"$dir/${type}_bus.log" &
    pids+=($!)
    for _ in $(seq 600); do
        [ -S "$socket" ] && break
        sleep 0.05
    done
    [ -S "$socket" ] || { echo "the private $type bus did not start" >&2; exit 1; }
    bus_address="unix:path=$socket"
}

# Waits until NAME is owned on the bus at ADDRESS; then runs the Python on stdin, if any,
# with `bus` connected there.
on_bus() {
    local address=$1 name=$2 log=$3
    BUS="$address" NAME="$name" "$python" -c '
import os, sys, time
import dbus

bus = dbus.bus.BusConnection(os.environ["BUS"])
for _ in range(600):
    if bus.name_has_owner(os.environ["NAME"]):
        break
    time.sleep(0.05)
else:
    raise SystemExit(os.environ["NAME"] + " did not start")
exec(sys.stdin.read())
' || { cat "$log" >&2; exit 1; }
}

start_bus system
export DBUS_SYSTEM_BUS_ADDRESS="$bus_address"
export DBUS_SESSION_BUS_ADDRESS="unix:path=$dir/no_session_bus"
export KORVANE_PRIVATE_BUS_DIR="$dir"
export KORVANE_MOCK_LOGIND="$with_logind"

if [ "$with_logind" = yes ]; then
    timeout "$lifetime" "$python" -m dbusmock --system --template "$here/mock_logind.py" \
        >"$dir/mock.log" 2>&1 &
    pids+=($!)
    on_bus "$DBUS_SYSTEM_BUS_ADDRESS" org.freedesktop.login1 "$dir/mock.log" </dev/null
fi

if [ "$with_session" = yes ]; then
    # Started after the system bus's address is exported: what it starts inherits it.
    start_bus session "$services"
    export DBUS_SESSION_BUS_ADDRESS="$bus_address"
fi

if [ "$with_notifications" = yes ]; then
    timeout "$lifetime" "$python" -m dbusmock --session --template notification_daemon \
        >"$dir/notifications.log" 2>&1 &
    pids+=($!)
    on_bus "$DBUS_SESSION_BUS_ADDRESS" org.freedesktop.Notifications "$dir/notifications.log" \
        </dev/null
fi

# Not exec: the traps must outlive the command to take the bus down.
status=0
"$@" || status=$?
exit "$status"
