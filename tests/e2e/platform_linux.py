"""The e2e driver's Linux side: the installed Qt program against the mock logind on the
private bus that tests/linux/private_bus.sh starts around the driver."""

import configparser
import os
import shlex
import sys
import time

import dbus

from e2e_support import STARTUP_CAPTION, check, step

DESKTOP_ID = "org.example.Korvane"


def private_bus_address():
    """The harness's bus, or a refusal: nothing here may reach the machine's own bus."""
    folder = os.environ.get("KORVANE_PRIVATE_BUS_DIR", "")
    address = os.environ.get("DBUS_SYSTEM_BUS_ADDRESS", "")
    session = os.environ.get("DBUS_SESSION_BUS_ADDRESS", "")
    if (not os.path.isabs(folder) or folder.startswith(("/run/", "/var/"))
            or address != f"unix:path={folder}/system_bus_socket"
            or not session.startswith(f"unix:path={folder}/")
            or os.environ.get("KORVANE_MOCK_LOGIND") != "yes"):
        sys.exit("run through tests/linux/private_bus.sh, never against the machine's bus")
    return address


def realtime_usec():
    return time.clock_gettime_ns(time.CLOCK_REALTIME) // 1000


class LinuxPlatform:
    """Commands are what reaches logind: ("poweroff" | "reboot", microseconds) or
    ("cancel", None)."""

    def __init__(self, options):
        address = private_bus_address()
        bus = dbus.bus.BusConnection(address)
        self.mock = dbus.Interface(bus.get_object("org.freedesktop.login1",
                                                  "/org/freedesktop/login1"),
                                   "org.freedesktop.DBus.Mock")
        self.mock.ClearCalls()
        self.prefix = os.path.abspath(options.prefix)
        self.environment = {
            "DBUS_SYSTEM_BUS_ADDRESS": address,
            "DBUS_SESSION_BUS_ADDRESS": os.environ["DBUS_SESSION_BUS_ADDRESS"],
            "QT_QPA_PLATFORM": "xcb",
        }
        self.scenarios = {"desktop_entry": scenario_desktop_entry}

    def start_session(self, desktop, processes, scenario):
        # The first system information tool the stand-in registry finds on PATH: a script
        # that records its start.
        tools = os.path.join(desktop.env["HOME"], "tools")
        os.makedirs(tools)
        self.tool_log = os.path.join(desktop.env["HOME"], "tool.log")
        self.tool = tool = os.path.join(tools, "kinfocenter")
        with open(tool, "w", encoding="utf-8") as script:
            script.write(f'#!/bin/sh\necho "$0 $*" >>{shlex.quote(self.tool_log)}\n')
        os.chmod(tool, 0o755)
        desktop.env["PATH"] = tools + os.pathsep + desktop.env["PATH"]

    def argv(self, scenario, desktop):
        if scenario != "desktop_entry":
            return [os.path.join(self.prefix, "bin", "korvane")]
        desktop.env["PATH"] = os.path.join(self.prefix, "bin") + os.pathsep + desktop.env["PATH"]
        return desktop_entry_argv(self.prefix)

    def program_output(self):
        return {}

    def main_window(self, desktop, process):
        found = desktop.windows(pid=process.pid)
        return found[0] if found else None

    def tool_starts(self):
        if not os.path.exists(self.tool_log):
            return []
        with open(self.tool_log, encoding="utf-8") as log:
            return log.read().splitlines()

    def is_sys_info_tool(self, start):
        return start.split(" ")[0] == self.tool

    def now(self):
        return realtime_usec()

    def commands(self):
        result = []
        for _, method, arguments in self.mock.GetCalls():
            if method == "ScheduleShutdown":
                result.append((str(arguments[0]), int(arguments[1])))
            elif method == "CancelScheduledShutdown":
                result.append(("cancel", None))
            else:
                result.append((str(method), list(arguments)))
        return result

    def refuse_schedule(self):
        """logind answers a schedule as it does when polkit says no."""
        self.mock.AddMethod("org.freedesktop.login1.Manager", "ScheduleShutdown", "st", "",
                            "raise dbus.exceptions.DBusException('not authorized',"
                            " name='org.freedesktop.DBus.Error.AccessDenied')")

    def check_schedule(self, command, kind, delay_seconds, before, after):
        """logind is told the moment, to the microsecond: delay_seconds after the entry."""
        check(command[0] == kind, f"logind got {command}, not {kind}")
        delay = delay_seconds * 1000000
        check(before + delay <= command[1] <= after + delay,
              f"scheduled for {command[1]}, not {delay_seconds} s after the entry "
              f"({before}..{after})")


def desktop_entry_argv(prefix):
    entry = configparser.ConfigParser(interpolation=None)
    entry.optionxform = str
    path = os.path.join(prefix, "share", "applications", DESKTOP_ID + ".desktop")
    check(entry.read(path, encoding="utf-8"), f"no desktop entry at {path}")
    section = entry["Desktop Entry"]
    icon = os.path.join(prefix, "share", "icons", "hicolor", "48x48", "apps",
                        section["Icon"] + ".png")
    check(os.path.isfile(icon), f"the entry's icon {section['Icon']} is not installed")
    # Field codes stand for files and URLs; Korvane is given none.
    return [word for word in shlex.split(section["Exec"]) if not word.startswith("%")]


def scenario_desktop_entry(app, output):
    step("the desktop entry's Exec line started the program; Alt+F ends it")
    check(app.first_title == STARTUP_CAPTION, f"the first caption was {app.first_title!r}")
    app.key("alt+f")
    check(app.wait_exit() == 0, "the exit key did not end the program cleanly")
