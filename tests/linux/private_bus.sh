#!/usr/bin/env bash
# Runs one command against a bus of its own that stands in for the system bus, with a mock
# systemd-logind on it unless --no-logind is given, and takes both down afterwards. The
# command sees the bus only as DBUS_SYSTEM_BUS_ADDRESS, and no session bus at all, so nothing
# it starts can reach the machine's own logind.
#
# --session gives it a private session bus as well (DBUS_SESSION_BUS_ADDRESS), which starts
# programs from the service files in DIR with --services DIR; --notifications puts a mock
# notification server on that bus.
#
# usage: private_bus.sh [--no-logind] [--session] [--notifications] [--services DIR]
#                       COMMAND [ARGUMENT...]
set -euo pipefail

with_logind=yes
with_session=no
with_notifications=no
services=
while [ $# -gt 0 ]; do
    case "$1" in
    --no-logind) with_logind=no ;;
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
[ $# -gt 0 ] || { echo "usage: $0 [--no-logind] [--session] [--notifications] [--services DIR] COMMAND [ARGUMENT...]" >&2; exit 2; }

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
socket="$dir/system_bus_socket"
address="unix:path=$socket"

pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

cat >"$dir/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>$address</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_type="method_call"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
CONF

timeout "$lifetime" dbus-daemon --config-file="$dir/bus.conf" --nofork --nopidfile \
    --print-address=3 3>"$dir/address" 2>"$dir/bus.log" &
pids+=($!)
for _ in $(seq 600); do
    [ -S "$socket" ] && break
    sleep 0.05
done
[ -S "$socket" ] || { echo "the private bus did not start" >&2; exit 1; }

export DBUS_SYSTEM_BUS_ADDRESS="$address"
export DBUS_SESSION_BUS_ADDRESS="unix:path=$dir/no_session_bus"
export KORVANE_PRIVATE_BUS_DIR="$dir"
export KORVANE_MOCK_LOGIND="$with_logind"

if [ "$with_logind" = yes ]; then
    timeout "$lifetime" "$python" -m dbusmock --system --template logind >"$dir/mock.log" 2>&1 &
    pids+=($!)
    # The template has no scheduling methods of its own; the tests replace these at will.
    "$python" - <<'PY' || { cat "$dir/mock.log" >&2; exit 1; }
import os, time
import dbus

bus = dbus.bus.BusConnection(os.environ["DBUS_SYSTEM_BUS_ADDRESS"])
for _ in range(600):
    if bus.name_has_owner("org.freedesktop.login1"):
        break
    time.sleep(0.05)
else:
    raise SystemExit("the mock logind did not start")
mock = dbus.Interface(bus.get_object("org.freedesktop.login1", "/org/freedesktop/login1"),
                      "org.freedesktop.DBus.Mock")
mock.AddMethod("org.freedesktop.login1.Manager", "ScheduleShutdown", "st", "", "")
mock.AddMethod("org.freedesktop.login1.Manager", "CancelScheduledShutdown", "", "b",
               "ret = True")
# Nothing pending; the tests set it and announce it as newer logind does.
mock.AddProperty("org.freedesktop.login1.Manager", "ScheduledShutdown",
                 dbus.Struct(("", dbus.UInt64(0)), signature="st"))
PY
fi

if [ "$with_session" = yes ]; then
    session_socket="$dir/session_bus_socket"
    service_dir=
    [ -z "$services" ] || service_dir="<servicedir>$(realpath "$services")</servicedir>"
    cat >"$dir/session.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=$session_socket</listen>
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
    # Started after the system bus's address is exported: what it starts inherits it.
    timeout "$lifetime" dbus-daemon --config-file="$dir/session.conf" --nofork --nopidfile \
        2>"$dir/session_bus.log" &
    pids+=($!)
    for _ in $(seq 100); do
        [ -S "$session_socket" ] && break
        sleep 0.05
    done
    [ -S "$session_socket" ] || { echo "the private session bus did not start" >&2; exit 1; }
    export DBUS_SESSION_BUS_ADDRESS="unix:path=$session_socket"
fi

if [ "$with_notifications" = yes ]; then
    timeout "$lifetime" "$python" -m dbusmock --session --template notification_daemon \
        >"$dir/notifications.log" 2>&1 &
    pids+=($!)
    "$python" - <<'PY' || { cat "$dir/notifications.log" >&2; exit 1; }
import os, time
import dbus

bus = dbus.bus.BusConnection(os.environ["DBUS_SESSION_BUS_ADDRESS"])
for _ in range(200):
    if bus.name_has_owner("org.freedesktop.Notifications"):
        break
    time.sleep(0.05)
else:
    raise SystemExit("the mock notification server did not start")
PY
fi

# Not exec: the traps must outlive the command to take the bus down.
status=0
"$@" || status=$?
exit "$status"
