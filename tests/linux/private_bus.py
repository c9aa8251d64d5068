"""The guard every Python test run through private_bus.sh starts with."""

import os
import sys


def private_buses():
    """The harness's system and session bus addresses, or a refusal: never the machine's."""
    folder = os.environ.get("KORVANE_PRIVATE_BUS_DIR", "")
    system = os.environ.get("DBUS_SYSTEM_BUS_ADDRESS", "")
    session = os.environ.get("DBUS_SESSION_BUS_ADDRESS", "")
    if (not os.path.isabs(folder) or folder.startswith(("/run/", "/var/"))
            or system != f"unix:path={folder}/system_bus_socket"
            or not session.startswith(f"unix:path={folder}/")):
        sys.exit("run through tests/linux/private_bus.sh, never on the machine's buses")
    return system, session


def own_run_systemd():
    """Why /run/systemd is not this test's own to write, or None where private_bus.sh
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
