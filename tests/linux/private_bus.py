#!/usr/bin/python3
"""Buses of a test's own, and what the tests on them share: the guard each starts with, one
wait_for, and one way to start a mock.

As a program it runs COMMAND against a bus that takes the place of the system bus, with a
mock systemd-logind on it unless --no-logind is given, and takes them down afterwards.
COMMAND sees only that bus (DBUS_SYSTEM_BUS_ADDRESS) and no session bus, so nothing it
starts can reach the machine's own logind. --session adds a private session bus, which
starts programs from the service files in DIR with --services DIR; --notifications puts a
mock notification server there. --own-run-systemd runs it in a mount namespace of its own
with a tmpfs over /run/systemd, where a test may start a user manager and write logind's
schedule file, and cannot see the machine's; where that cannot be had,
KORVANE_OWN_RUN_SYSTEMD says why instead of "yes".
"""

import argparse
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import dbus

# Debian's interpreter: the one that has python3-dbusmock and python3-dbus.
PYTHON = "/usr/bin/python3"
MOCK_LOGIND = os.path.join(os.path.dirname(os.path.abspath(__file__)), "mock_logind.py")
# Whatever this starts stops by itself after this long, even if this runner is killed:
# longer than any test run under it may take.
LIFETIME = os.environ.get("KORVANE_PRIVATE_BUS_LIFETIME", "600")
BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>{kind}</type>
  <listen>unix:path={socket}</listen>
  <auth>EXTERNAL</auth>
  {services}
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_type="method_call"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
"""
# Run only by the child of unshare, so never over the machine's own /run/systemd.
MOUNT = """[ "$(readlink /proc/self/ns/mnt)" != "$KORVANE_OUTER_MOUNTS" ]
mkdir -p /run/systemd
mount -t tmpfs -o mode=0755 korvane-test /run/systemd
mkdir /run/systemd/system /run/systemd/shutdown
exec env KORVANE_OWN_RUN_SYSTEMD=yes "$0" "$@"
"""


def wait_for(condition, what, timeout=30, interval=0.05):
    """condition()'s first true value, asked every interval seconds for up to timeout."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(interval)
    raise AssertionError(f"waited {timeout} s for {what}")


def start_mock(address, name, *arguments, log=None):
    """A dbusmock on the bus at address that owns name, taken over from any earlier owner,
    once it does; its output goes to the file log."""
    bus = dbus.bus.BusConnection(address)
    before = bus.get_name_owner(name) if bus.name_has_owner(name) else None
    with open(log or os.devnull, "wb") as output:
        process = subprocess.Popen(
            ["timeout", LIFETIME, PYTHON, "-m", "dbusmock", *arguments], stdout=output,
            stderr=output, env=dict(os.environ, DBUS_SESSION_BUS_ADDRESS=address,
                                    DBUS_SYSTEM_BUS_ADDRESS=address))
    try:
        wait_for(lambda: process.poll() is None and bus.name_has_owner(name)
                 and bus.get_name_owner(name) != before, f"a new owner of {name}")
    except AssertionError:
        process.terminate()
        if log:
            with open(log, encoding="utf-8", errors="replace") as written:
                sys.stderr.write(written.read())
        raise
    return process


def private_buses():
    """The harness's system and session bus addresses, or a refusal: never the machine's."""
    folder = os.environ.get("KORVANE_PRIVATE_BUS_DIR", "")
    system = os.environ.get("DBUS_SYSTEM_BUS_ADDRESS", "")
    session = os.environ.get("DBUS_SESSION_BUS_ADDRESS", "")
    if (not os.path.isabs(folder) or folder.startswith(("/run/", "/var/"))
            or system != f"unix:path={folder}/system_bus_socket"
            or not session.startswith(f"unix:path={folder}/")):
        sys.exit("run through tests/linux/private_bus.py, never on the machine's buses")
    return system, session


def own_run_systemd():
    """Why /run/systemd is not this test's own to write, or None where private_bus.py
    --own-run-systemd mounted it in a mount namespace of the test's own."""
    state = os.environ.get("KORVANE_OWN_RUN_SYSTEMD", "not asked for")
    if state != "yes":
        return state
    with open("/proc/self/mountinfo", encoding="utf-8") as mounts:
        ours = any(line.split()[4] == "/run/systemd" and " - tmpfs korvane-test " in line
                   for line in mounts)
    if not ours or os.readlink("/proc/self/ns/mnt") == os.environ.get("KORVANE_OUTER_MOUNTS"):
        sys.exit("/run/systemd is the machine's own here: refusing to touch it")
    return None


def start_bus(folder, kind, services, started):
    """A bus of kind (system or session) on a socket in folder, which may start programs from
    the service files in services; its address once it listens."""
    socket, config = os.path.join(folder, f"{kind}_bus_socket"), os.path.join(folder, kind)
    with open(config, "w", encoding="utf-8") as file:
        file.write(BUS_CONFIG.format(kind=kind, socket=socket, services=(
            f"<servicedir>{os.path.realpath(services)}</servicedir>" if services else "")))
    with open(f"{config}.log", "wb") as log:
        started.append(subprocess.Popen(["timeout", LIFETIME, "dbus-daemon", "--nofork",
                                         "--nopidfile", f"--config-file={config}"], stderr=log))
    wait_for(lambda: os.path.exists(socket), f"the private {kind} bus")
    return f"unix:path={socket}"


def run(options):
    folder = tempfile.mkdtemp(prefix="korvane-bus.")
    if folder.startswith(("/run/", "/var/run/")):
        sys.exit(f"refusing to put a private bus under {folder}")
    started = []
    try:
        address = start_bus(folder, "system", None, started)
        os.environ.update(DBUS_SYSTEM_BUS_ADDRESS=address, KORVANE_PRIVATE_BUS_DIR=folder,
                          DBUS_SESSION_BUS_ADDRESS=f"unix:path={folder}/no_session_bus",
                          KORVANE_MOCK_LOGIND="no" if options.no_logind else "yes")
        if not options.no_logind:
            started.append(start_mock(address, "org.freedesktop.login1", "--system",
                                      "--template", MOCK_LOGIND, log=f"{folder}/logind.log"))
        if options.session or options.notifications or options.services:
            # After the system bus's address is set: what it starts inherits that.
            address = start_bus(folder, "session", options.services, started)
            os.environ["DBUS_SESSION_BUS_ADDRESS"] = address
        if options.notifications:
            started.append(start_mock(address, "org.freedesktop.Notifications", "--session",
                                      "--template", "notification_daemon",
                                      log=f"{folder}/notifications.log"))
        status = subprocess.call(options.command)
        return status if status >= 0 else 128 - status
    finally:
        for process in started:
            process.terminate()
        for process in started:
            process.wait()
        shutil.rmtree(folder, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[1])
    for flag in ("--no-logind", "--own-run-systemd", "--session", "--notifications"):
        parser.add_argument(flag, action="store_true")
    parser.add_argument("--services", metavar="DIR")
    parser.add_argument("command", nargs=argparse.REMAINDER)
    options = parser.parse_args()
    if not options.command:
        parser.error("no command")
    if not options.own_run_systemd:
        os.environ.pop("KORVANE_OWN_RUN_SYSTEMD", None)
        os.environ.pop("KORVANE_OUTER_MOUNTS", None)
    elif os.environ.get("KORVANE_OWN_RUN_SYSTEMD") == "yes":
        own_run_systemd()
    elif subprocess.call(["unshare", "-m", "true"], stderr=subprocess.DEVNULL) == 0:
        # Private propagation: nothing mounted in there is seen outside.
        os.environ["KORVANE_OUTER_MOUNTS"] = os.readlink("/proc/self/ns/mnt")
        os.execvp("unshare", ["unshare", "-m", "--propagation", "private", "/bin/sh", "-euc",
                              MOUNT, os.path.abspath(__file__), *sys.argv[1:]])
    else:
        os.environ["KORVANE_OWN_RUN_SYSTEMD"] = "no mount namespace here (unshare -m is refused)"
    for ending in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(ending, lambda *_: sys.exit(130))
    return run(options)


if __name__ == "__main__":
    sys.exit(main())
