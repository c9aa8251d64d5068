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
