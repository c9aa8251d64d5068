#!/usr/bin/env bash
# Measures the Linux desktop notifier against its budget and prints the figures: on demand
# (a mock user manager whose path unit is active), how soon it ends with nothing pending;
# resident (no user manager), its memory once settled and its wake-ups over a quiet minute
# with nothing pending and with a power-off pending (hours away, so no alert falls due). It
# judges nothing.
#
# The notifier runs against the mock logind and mock notification server of
# tests/linux/private_bus.py, on buses of its own; nothing here reaches the machine's
# logind. Knobs (environment): KORVANE_BENCH_NOTIFIER (the program; by default the bench
# preset's Release build of it), KORVANE_BENCH_IDLE_S (60), KORVANE_BENCH_SETTLE_S (5).
set -euo pipefail
cd "$(dirname "$0")/.."

idle=${KORVANE_BENCH_IDLE_S:-60}
settle=${KORVANE_BENCH_SETTLE_S:-5}
notifier=${KORVANE_BENCH_NOTIFIER:-}
if [ -z "$notifier" ]; then
    cmake --preset bench >/dev/null
    cmake --build --preset bench -j2 --target korvane_linux_notifier >/dev/null
    notifier=$PWD/build-bench/libexec/korvane/notifier
fi

export KORVANE_PRIVATE_BUS_LIFETIME=$((3 * (idle + settle) + 60))
exec tests/linux/private_bus.py --own-run-systemd --notifications /usr/bin/python3 - "$notifier" "$idle" \
    "$settle" <<'PY'
import glob
import os
import subprocess
import sys
import time

import dbus

sys.path.insert(0, "tests/linux")
from private_bus import start_mock  # noqa: E402  pylint: disable=wrong-import-position

notifier, idle, settle = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
MANAGER = "org.freedesktop.login1.Manager"
system = dbus.bus.BusConnection(os.environ["DBUS_SYSTEM_BUS_ADDRESS"])


def set_pending(kind, usec):
    system.call_blocking("org.freedesktop.login1", "/org/freedesktop/login1",
                         dbus.PROPERTIES_IFACE, "Set", "ssv",
                         (MANAGER, "ScheduledShutdown",
                          dbus.Struct((kind, dbus.UInt64(usec)), signature="st")))


def status(pid, field):
    with open(f"/proc/{pid}/status", encoding="ascii") as lines:
        for line in lines:
            if line.startswith(field + ":"):
                return int(line.split()[1])
    raise KeyError(field)


def switches(pid):
    """Context switches of each thread: every wake-up ends in at least one."""
    total = {}
    for task in glob.glob(f"/proc/{pid}/task/*"):
        with open(f"{task}/comm", encoding="utf-8") as comm:
            name = comm.read().strip() + "/" + os.path.basename(task)
        with open(f"{task}/status", encoding="ascii") as lines:
            total[name] = sum(int(line.split()[1]) for line in lines if "ctxt_switches" in line)
    return total


def quiet_minute(pid, label):
    time.sleep(settle)
    before = switches(pid)
    time.sleep(idle)
    after = switches(pid)
    woken = {name: after[name] - before.get(name, 0) for name in after}
    print(f"| {label} | {sum(woken.values())} | "
          + ", ".join(f"{name}: {count}" for name, count in sorted(woken.items())) + " |")


def on_demand_end():
    """Seconds from start to its own end, and its status, under an active path unit."""
    unit = "/org/freedesktop/systemd1/unit/org_2eexample_2eKorvane_2eNotifier_2epath"
    manager = start_mock(os.environ["DBUS_SESSION_BUS_ADDRESS"], "org.freedesktop.systemd1",
                         "--session", "org.freedesktop.systemd1", "/org/freedesktop/systemd1",
                         "org.freedesktop.systemd1.Manager")
    session = dbus.bus.BusConnection(os.environ["DBUS_SESSION_BUS_ADDRESS"])
    mock = dbus.Interface(session.get_object("org.freedesktop.systemd1",
                                             "/org/freedesktop/systemd1"),
                          "org.freedesktop.DBus.Mock")
    mock.AddObject(unit, "org.freedesktop.systemd1.Unit", {"ActiveState": "active"}, [])
    mock.AddMethod("", "GetUnit", "s", "o", f"ret = '{unit}'")
    started = time.monotonic()
    code = subprocess.Popen([notifier]).wait(60)
    ended = time.monotonic() - started
    manager.terminate()
    manager.wait()
    return ended, code


set_pending("", 0)
print(f"notifier: {notifier}\n")
print("| on demand, nothing pending | ended after | status |\n|---|---|---|")
for run in range(3):
    ended, code = on_demand_end()
    print(f"| run {run + 1} | {ended:.3f} s | {code} |")
print()
process = subprocess.Popen([notifier])
time.sleep(settle)
print(f"| resident, settled, nothing pending | VmRSS {status(process.pid, 'VmRSS')} KiB | "
      f"VmHWM {status(process.pid, 'VmHWM')} KiB |")
print(f"\n| {idle} s | context switches (all threads) | by thread |")
print("|---|---|---|")
quiet_minute(process.pid, "nothing pending")
now = time.clock_gettime_ns(time.CLOCK_REALTIME) // 1000
set_pending("poweroff", now + 3 * 3600 * 1000000)
quiet_minute(process.pid, "power-off pending in 3 h")
print(f"\n| resident, settled, pending | VmRSS {status(process.pid, 'VmRSS')} KiB | "
      f"VmHWM {status(process.pid, 'VmHWM')} KiB |")
process.terminate()
process.wait()
PY
