"""The e2e driver's Linux side: the installed Qt program against the mock logind on the
private bus that tests/linux/private_bus.py starts around the driver."""

import configparser
import os
import shlex
import sys
import subprocess
import time

import dbus

from e2e_support import STARTUP_CAPTION, check, step, wait_for

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "linux"))
from private_bus import private_buses  # noqa: E402

DESKTOP_ID = "org.example.Korvane"
NOTIFICATION_SERVER = "/usr/lib/notification-daemon/notification-daemon"
MANAGER = "org.freedesktop.login1.Manager"


def realtime_usec():
    return time.clock_gettime_ns(time.CLOCK_REALTIME) // 1000


class LinuxPlatform:
    """Commands are what reaches logind: ("poweroff" | "reboot", microseconds) or
    ("cancel", None)."""

    def __init__(self, options):
        address, _ = private_buses()
        if os.environ.get("KORVANE_MOCK_LOGIND") != "yes":
            sys.exit("run through tests/linux/private_bus.py with its mock logind")
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
        self.scenarios = {"desktop_entry": scenario_desktop_entry, "notifier": scenario_notifier}

    def start_session(self, desktop, processes, scenario):
        # The first system information tool the replacement registry finds on PATH: a script
        # that records its start.
        tools = os.path.join(desktop.env["HOME"], "tools")
        os.makedirs(tools)
        self.tool_log = os.path.join(desktop.env["HOME"], "tool.log")
        self.tool = tool = os.path.join(tools, "kinfocenter")
        with open(tool, "w", encoding="utf-8") as script:
            script.write(f'#!/bin/sh\necho "$0 $*" >>{shlex.quote(self.tool_log)}\n')
        os.chmod(tool, 0o755)
        desktop.env["PATH"] = tools + os.pathsep + desktop.env["PATH"]
        if scenario == "notifier":
            # A real notification server from Debian, drawing on the test's X server.
            self.server = processes.start([NOTIFICATION_SERVER], desktop.env,
                                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

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

    def keep_schedules(self):
        """logind keeps what it is asked and announces it, as newer systemd does."""
        pending = "self.Set('{0}', 'ScheduledShutdown', dbus.Struct(({1}), signature='st'))"
        self.mock.AddMethod(MANAGER, "ScheduleShutdown", "st", "",
                            pending.format(MANAGER, "args[0], args[1]"))
        self.mock.AddMethod(MANAGER, "CancelScheduledShutdown", "", "b",
                            pending.format(MANAGER, "'', dbus.UInt64(0)") + "\nret = True")

    def pending(self):
        properties = dbus.Interface(self.mock.proxy_object, dbus.PROPERTIES_IFACE)
        kind, usec = properties.Get(MANAGER, "ScheduledShutdown")
        return str(kind), int(usec)

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


def scenario_notifier(app, output):
    desktop = app.desktop
    platform = app.platform
    platform.keep_schedules()
    step("shut down in 10 minutes: the window starts the notifier, which shows the notice")
    app.click("Command1")
    prompt = desktop.wait_window("关机倒计时(分)")
    desktop.key(prompt, "Return")
    desktop.wait_gone("关机倒计时(分)")
    app.wait_commands(1)
    popup = wait_for("the notification", lambda: desktop.windows(pid=platform.server.pid),
                     timeout=30)[0]
    shot = os.path.join(output, "notifier_notice.png")
    # A busy server paints the bubble in parts: it is drawn in full once two shots agree.
    shots = []

    def shoot():
        desktop.screenshot(popup, shot)
        with open(shot, "rb") as image:
            shots.append(image.read())
        return len(shots) > 1 and shots[-1] == shots[-2]
    wait_for("the notification drawn in full", shoot, timeout=30, interval=0.5)
    desktop.screenshot("root", os.path.join(output, "notifier_screen.png"))

    step("取消, clicked where it is drawn: nothing is left pending, and the notice goes")
    x, y, _, _ = desktop.geometry(popup)
    left, top = text_lines(desktop, shot)[-1][0]
    desktop.click_at(x + left, y + top)
    wait_for("logind to cancel", lambda: platform.pending() == ("", 0), timeout=30)
    check(app.actions() == ["poweroff", "cancel"], f"commands: {app.commands()}")
    wait_for("the notice to go", lambda: not desktop.windows(pid=platform.server.pid),
             timeout=30)
    app.close_and_check_exit()


def text_lines(desktop, image):
    """What is drawn dark on the light bubble, as lines of words: each line a list of the
    words' centres, left to right. Words are columns of ink closer than a glyph's gap."""
    pgm = subprocess.run(["convert", image, "-colorspace", "gray", "-depth", "8", "pgm:-"],
                         capture_output=True, check=True, env=desktop.env).stdout
    header = pgm.split(maxsplit=4)
    width, height = int(header[1]), int(header[2])
    pixels = header[4][-width * height:]
    # Clear of the rounded corners, where the screen behind shows.
    margin = 12
    ink = [[margin <= row < height - margin and margin <= column < width - margin
            and pixels[row * width + column] < 128 for column in range(width)]
           for row in range(height)]
    lines, start = [], None
    for row in range(height + 1):
        inked = row < height and any(ink[row])
        if inked and start is None:
            start = row
        elif not inked and start is not None:
            lines.append((start, row))
            start = None
    result = []
    for top, bottom in lines:
        columns = [column for column in range(width)
                   if any(ink[row][column] for row in range(top, bottom))]
        words, first = [], columns[0]
        for previous, column in zip(columns, columns[1:] + [None]):
            if column is None or column - previous > 12:
                words.append(((first + previous) // 2, (top + bottom) // 2))
                first = column
        result.append(words)
    return result
