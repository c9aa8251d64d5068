#!/usr/bin/python3
"""Drives the installed Korvane like a person: on an X server of its own (Xvfb with openbox),
with mouse clicks at the buttons' designed places and keys through xdotool, against the mock
logind on the private bus that tests/linux_power/private_bus.sh starts around this script.

usage: private_bus.sh korvane_e2e.py --prefix PREFIX --output FOLDER SCENARIO
"""

import argparse
import configparser
import ctypes
import os
import random
import re
import shlex
import signal
import subprocess
import sys
import tempfile
import time

import dbus

STARTUP_CAPTION = "程序加载中..."
CLOCK_CAPTION = re.compile(r"^当前时间: (\d\d):(\d\d):(\d\d)$")
SHUTDOWN_PROMPT = "关机倒计时(分)"
RESTART_PROMPT = "重启倒计时(分)"
MESSAGE_TITLE = "Korvane"
ABOUT_TITLE = "关于 Korvane"
DESKTOP_ID = "org.example.Korvane"

CLIENT_SIZE = (289, 200)
FRAME_ORIGIN = (8, 8)
# Each button's place inside the frame and its size, in pixels at 96 dots per inch.
BUTTONS = {
    "Command1": (24, 16, 97, 41),
    "Command2": (136, 16, 105, 41),
    "Command3": (24, 72, 97, 41),
    "Command4": (136, 72, 105, 41),
    "Command5": (24, 128, 97, 41),
    "Command6": (136, 128, 105, 41),
}

class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def step(text):
    print(f"-- {text}", flush=True)


def wait_for(what, probe, timeout=10.0, interval=0.05):
    """Polls probe until it returns something true, and returns that."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure(f"timed out waiting for {what}")
        time.sleep(interval)


def private_bus_address():
    """The harness's bus, or a refusal: nothing here may reach the machine's own bus."""
    folder = os.environ.get("KORVANE_PRIVATE_BUS_DIR", "")
    address = os.environ.get("DBUS_SYSTEM_BUS_ADDRESS", "")
    session = os.environ.get("DBUS_SESSION_BUS_ADDRESS", "")
    if (not os.path.isabs(folder) or folder.startswith(("/run/", "/var/"))
            or address != f"unix:path={folder}/system_bus_socket"
            or not session.startswith(f"unix:path={folder}/")
            or os.environ.get("KORVANE_MOCK_LOGIND") != "yes"):
        sys.exit("run through tests/linux_power/private_bus.sh, never against the machine's bus")
    return address


def die_with_parent():
    # PR_SET_PDEATHSIG: a child outlives neither this script nor a ctest time-out's kill.
    ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGTERM)


class Processes:
    """Everything this run starts, ended in reverse order."""

    def __init__(self):
        self.started = []

    def start(self, argv, env, **kwargs):
        process = subprocess.Popen(argv, env=env, preexec_fn=die_with_parent, **kwargs)
        self.started.append(process)
        return process

    def end_all(self):
        for process in reversed(self.started):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()


class Desktop:
    """An X server on a free display with a window manager, and xdotool to work it."""

    def __init__(self, processes, scratch):
        self.env = {
            "PATH": os.environ["PATH"],
            "HOME": scratch,
            "XDG_RUNTIME_DIR": scratch,
            "XDG_CONFIG_HOME": os.path.join(scratch, "config"),
            "LC_ALL": "C.UTF-8",
            "DBUS_SYSTEM_BUS_ADDRESS": os.environ["DBUS_SYSTEM_BUS_ADDRESS"],
            "DBUS_SESSION_BUS_ADDRESS": os.environ["DBUS_SESSION_BUS_ADDRESS"],
            "QT_QPA_PLATFORM": "xcb",
        }
        number = self.start_server(processes)
        self.env["DISPLAY"] = f":{number}"
        step(f"Xvfb on :{number}")

        processes.start(["openbox", "--sm-disable"], self.env, stdout=subprocess.DEVNULL,
                        stderr=subprocess.DEVNULL)
        # openbox announces itself on the root window once it manages the screen.
        wait_for("openbox", lambda: "window id" in self.run(
            "xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check_result=False))

    def start_server(self, processes):
        """Xvfb on a display no other server uses, its number once it listens."""
        for _ in range(10):
            number = random.randrange(300, 1000)
            # Other X servers here may sit in a separate /tmp: their lock files are out of
            # sight, but their abstract sockets, which clients try first, are not.
            with open("/proc/net/unix", encoding="ascii", errors="replace") as sockets:
                if f"/tmp/.X11-unix/X{number}\n" in sockets.read():
                    continue
            read_end, write_end = os.pipe()
            server = processes.start(
                ["Xvfb", f":{number}", "-displayfd", str(write_end), "-screen", "0",
                 "1024x768x24", "-nolisten", "tcp", "-noreset"], self.env,
                pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            os.close(write_end)
            with os.fdopen(read_end) as ready:
                # Empty when Xvfb gave up, for instance because the display was taken.
                reported = ready.readline().strip()
            if reported == str(number) and server.poll() is None:
                return number
        raise Failure("found no free display for Xvfb")

    def run(self, *argv, check_result=True):
        result = subprocess.run(argv, env=self.env, capture_output=True, text=True, timeout=20)
        if check_result and result.returncode != 0:
            raise Failure(f"{' '.join(argv)} failed: {result.stderr.strip()}")
        return result.stdout

    def xdotool(self, *arguments, check_result=True):
        return self.run("xdotool", *arguments, check_result=check_result)

    def windows(self, title=None, pid=None):
        """Visible windows with exactly this title, or of this process."""
        arguments = ["search", "--onlyvisible"]
        if pid is not None:
            arguments += ["--pid", str(pid)]
        else:
            arguments += ["--name", "^" + re.escape(title) + "$"]
        return self.xdotool(*arguments, check_result=False).split()

    def title(self, window):
        return self.xdotool("getwindowname", window, check_result=False).rstrip("\n")

    def geometry(self, window):
        text = self.xdotool("getwindowgeometry", "--shell", window)
        values = dict(line.split("=", 1) for line in text.split())
        return tuple(int(values[key]) for key in ("X", "Y", "WIDTH", "HEIGHT"))

    def wait_window(self, title, timeout=10.0):
        return wait_for(f"a window titled {title}", lambda: self.windows(title), timeout)[0]

    def wait_gone(self, title, timeout=10.0):
        wait_for(f"no window titled {title}", lambda: not self.windows(title), timeout)

    def activate(self, window):
        self.xdotool("windowactivate", "--sync", window)
        wait_for("the window to have the focus",
                 lambda: self.xdotool("getactivewindow", check_result=False).strip() == window)

    def key(self, window, keys):
        self.activate(window)
        self.xdotool("key", "--clearmodifiers", keys)

    def type(self, window, text):
        self.activate(window)
        self.xdotool("type", "--clearmodifiers", "--delay", "30", text)

    def click_at(self, x, y):
        # Not --sync: that waits for the pointer to move, forever if it is already there.
        # The server takes the move and the click in order anyway.
        self.xdotool("mousemove", str(x), str(y), "click", "1")

    def screenshot(self, window, path, frame=False):
        self.run("import", *(["-frame"] if frame else []), "-window", window, path)
        step(f"screenshot {path}")


class MockLogind:
    def __init__(self, address):
        bus = dbus.bus.BusConnection(address)
        self.mock = dbus.Interface(bus.get_object("org.freedesktop.login1",
                                                  "/org/freedesktop/login1"),
                                   "org.freedesktop.DBus.Mock")
        self.mock.ClearCalls()

    def calls(self):
        return [(str(method), list(arguments)) for _, method, arguments in self.mock.GetCalls()]

    def refuse(self, method, in_signature, out_signature):
        """Makes logind answer method as it does when polkit says no."""
        self.mock.AddMethod("org.freedesktop.login1.Manager", method, in_signature,
                            out_signature, "raise dbus.exceptions.DBusException('not authorized',"
                            " name='org.freedesktop.DBus.Error.AccessDenied')")

    def wait_calls(self, count, timeout=10.0):
        def enough():
            calls = self.calls()
            return calls if len(calls) >= count else None
        return wait_for(f"{count} calls to logind", enough, timeout)


class Korvane:
    """The installed program, started as its desktop entry or its binary would be."""

    def __init__(self, desktop, processes, argv):
        self.desktop = desktop
        self.process = processes.start(argv, desktop.env)
        # Seen as soon as the window exists: the first tick comes a second later.
        self.first_title = None
        started = time.monotonic()
        try:
            self.window = wait_for("Korvane's main window", self._main_window, timeout=20)
        except Failure:
            # What there is instead, mapped or not, says whether the program or the window
            # manager is stuck.
            print(desktop.xdotool("search", "--pid", str(self.process.pid), check_result=False),
                  desktop.run("xwininfo", "-root", "-tree", check_result=False), file=sys.stderr)
            raise
        step(f"the main window came up after {time.monotonic() - started:.1f} s")

    def _main_window(self):
        check(self.process.poll() is None, f"Korvane ended early ({self.process.returncode})")
        found = self.desktop.windows(pid=self.process.pid)
        if found and self.first_title is None:
            self.first_title = self.desktop.title(found[0])
        return found[0] if found else None

    def button_centre(self, name):
        x, y, width, height = self.desktop.geometry(self.window)
        check((width, height) == CLIENT_SIZE,
              f"the main window's client area is {width}x{height}, not 289x200")
        left, top, button_width, button_height = BUTTONS[name]
        return (x + FRAME_ORIGIN[0] + left + button_width // 2,
                y + FRAME_ORIGIN[1] + top + button_height // 2)

    def click(self, name):
        self.desktop.click_at(*self.button_centre(name))

    def key(self, keys):
        self.desktop.key(self.window, keys)

    def wait_exit(self, timeout=10.0):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure("Korvane did not end")


def realtime_usec():
    return time.clock_gettime_ns(time.CLOCK_REALTIME) // 1000


def expect_schedule(call, kind, delay_seconds, before, after):
    method, arguments = call
    check(method == "ScheduleShutdown", f"expected ScheduleShutdown, logind got {method}")
    check(str(arguments[0]) == kind, f"scheduled {arguments[0]}, not {kind}")
    when = int(arguments[1])
    delay = delay_seconds * 1000000
    check(before + delay <= when <= after + delay,
          f"scheduled for {when}, not {delay_seconds} s after the entry ({before}..{after})")


def confirm_entry(app, logind, title, entry, kind, delay_seconds):
    """Answers the open delay prompt with entry (None keeps the default) and checks what
    reaches logind."""
    desktop = app.desktop
    prompt = desktop.wait_window(title)
    count = len(logind.calls())
    if entry is not None:
        desktop.key(prompt, "ctrl+a")
        desktop.type(prompt, entry)
    before = realtime_usec()
    desktop.key(prompt, "Return")
    desktop.wait_gone(title)
    calls = logind.wait_calls(count + 1)
    expect_schedule(calls[count], kind, delay_seconds, before, realtime_usec())


def scenario_startup(app, logind, output):
    step("the start-up caption, then the clock")
    check(app.first_title == STARTUP_CAPTION,
          f"the first caption was {app.first_title!r}, not {STARTUP_CAPTION!r}")
    desktop = app.desktop
    caption = wait_for("the clock caption",
                       lambda: CLOCK_CAPTION.match(desktop.title(app.window)), timeout=5)
    shown = int(caption[1]) * 3600 + int(caption[2]) * 60 + int(caption[3])
    now = time.localtime()
    drift = abs(now.tm_hour * 3600 + now.tm_min * 60 + now.tm_sec - shown)
    check(min(drift, 86400 - drift) <= 3, f"the clock shows {caption[0]!r}")

    step("a fixed 289x200 window at scale 1, without minimise and maximise")
    app.button_centre("Command1")
    hints = desktop.run("xprop", "-id", app.window, "WM_NORMAL_HINTS")
    check("minimum size: 289 by 200" in hints and "maximum size: 289 by 200" in hints,
          f"the window can be resized: {hints}")
    # Motif hints: flags, functions, decorations. Minimise is 0x8 and maximise 0x10 among the
    # functions, 0x20 and 0x40 among the decorations; openbox draws its iconify button
    # regardless, so the request is what can be checked.
    motif = desktop.run("xprop", "-id", app.window, "_MOTIF_WM_HINTS").split("=")[-1]
    flags, functions, decorations = (int(value, 16) for value in motif.split(",")[:3])
    check(flags & 0x1 and not functions & 0x18, f"minimise or maximise allowed: {motif}")
    check(flags & 0x2 and not decorations & 0x60, f"minimise or maximise buttons: {motif}")
    desktop.screenshot(app.window, os.path.join(output, "main_window.png"))
    # With openbox's title bar, which shows the clock.
    desktop.screenshot(app.window, os.path.join(output, "main_window_framed.png"), frame=True)

    step("the exit button ends the program")
    app.click("Command4")
    check(app.wait_exit() == 0, "the exit button did not end the program cleanly")
    check(logind.calls() == [], "logind was called")


def scenario_shutdown_then_cancel(app, logind, output):
    step("shut down with the default entry: Enter schedules a power-off in 600 s")
    app.click("Command1")
    confirm_entry(app, logind, SHUTDOWN_PROMPT, None, "poweroff", 600)

    step("cancel: logind's scheduled shutdown is cancelled, and no message")
    app.click("Command3")
    calls = logind.wait_calls(2)
    check([method for method, _ in calls] == ["ScheduleShutdown", "CancelScheduledShutdown"],
          f"logind got {calls}")
    time.sleep(0.5)
    check(not app.desktop.windows(MESSAGE_TITLE), "a message box came up")

    step("closing the window ends the program")
    app.key("alt+F4")
    check(app.wait_exit() == 0, "closing the main window did not end the program cleanly")


def scenario_bad_entry(app, logind, output):
    desktop = app.desktop
    step("restart, entry abc: the message, then the second prompt")
    app.click("Command2")
    prompt = desktop.wait_window(RESTART_PROMPT)
    desktop.key(prompt, "ctrl+a")
    desktop.type(prompt, "abc")
    desktop.key(prompt, "Return")
    message = desktop.wait_window(MESSAGE_TITLE)
    desktop.screenshot(message, os.path.join(output, "message_bad_entry.png"))
    check(not desktop.windows(RESTART_PROMPT), "the prompt stayed open under the message")
    check(logind.calls() == [], "a bad entry reached logind")
    desktop.key(message, "Return")
    desktop.wait_gone(MESSAGE_TITLE)

    step("the second prompt is the restart one; its entry 2 schedules a reboot in 120 s")
    confirm_entry(app, logind, RESTART_PROMPT, "2", "reboot", 120)

    step("cancel")
    app.click("Command3")
    calls = logind.wait_calls(2)
    check(calls[-1][0] == "CancelScheduledShutdown", f"logind got {calls}")
    app.key("alt+F4")
    check(app.wait_exit() == 0, "closing the main window did not end the program cleanly")


def scenario_cancel_unscheduled(app, logind, output):
    desktop = app.desktop
    step("cancel with nothing scheduled: a message, nothing reaches logind")
    app.click("Command3")
    message = desktop.wait_window(MESSAGE_TITLE)
    desktop.screenshot(message, os.path.join(output, "message_cancel.png"))
    desktop.key(message, "Return")
    desktop.wait_gone(MESSAGE_TITLE)
    time.sleep(0.5)
    check(logind.calls() == [], f"logind got {logind.calls()}")

    step("the same after a schedule and its cancel (Alt+C opens the prompt)")
    app.key("alt+c")
    confirm_entry(app, logind, SHUTDOWN_PROMPT, "0", "poweroff", 0)
    app.click("Command3")
    logind.wait_calls(2)
    app.click("Command3")
    desktop.key(desktop.wait_window(MESSAGE_TITLE), "Return")
    desktop.wait_gone(MESSAGE_TITLE)
    time.sleep(0.5)
    check([method for method, _ in logind.calls()]
          == ["ScheduleShutdown", "CancelScheduledShutdown"], f"logind got {logind.calls()}")
    app.key("alt+F4")
    check(app.wait_exit() == 0, "closing the main window did not end the program cleanly")


def scenario_refused_schedule(app, logind, output):
    desktop = app.desktop
    step("logind refuses the shutdown: a message box says so")
    logind.refuse("ScheduleShutdown", "st", "")
    app.click("Command1")
    confirm_entry(app, logind, SHUTDOWN_PROMPT, None, "poweroff", 600)
    message = desktop.wait_window(MESSAGE_TITLE)
    desktop.screenshot(message, os.path.join(output, "message_refused.png"))

    step("the window stays usable: its clock goes on under the message")
    shown = desktop.title(app.window)
    wait_for("the clock to tick", lambda: desktop.title(app.window) != shown, timeout=3)
    desktop.key(message, "Return")
    desktop.wait_gone(MESSAGE_TITLE)

    step("the refusal left the schedule to cancel: cancel reaches logind, and no message")
    app.click("Command3")
    calls = logind.wait_calls(2)
    check(calls[-1][0] == "CancelScheduledShutdown", f"logind got {calls}")
    time.sleep(0.5)
    check(not desktop.windows(MESSAGE_TITLE), "a message box came up")
    app.key("alt+F4")
    check(app.wait_exit() == 0, "closing the main window did not end the program cleanly")


def scenario_about(app, logind, output):
    desktop = app.desktop
    step("two clicks on About open one About window")
    app.click("Command5")
    about = desktop.wait_window(ABOUT_TITLE)
    app.click("Command5")
    time.sleep(1)
    check(desktop.windows(ABOUT_TITLE) == [about],
          f"About windows after two clicks: {desktop.windows(ABOUT_TITLE)}")
    _, _, width, height = desktop.geometry(about)
    check((width, height) == (380, 195), f"the About window is {width}x{height}, not 380x195")
    desktop.screenshot(about, os.path.join(output, "about.png"))

    step("Esc closes it; the main window stays")
    desktop.key(about, "Escape")
    desktop.wait_gone(ABOUT_TITLE)
    check(app.process.poll() is None, "closing About ended the program")

    step("Alt+Q opens it afresh; Enter closes it")
    app.key("alt+q")
    desktop.key(desktop.wait_window(ABOUT_TITLE), "Return")
    desktop.wait_gone(ABOUT_TITLE)
    app.key("alt+F4")
    check(app.wait_exit() == 0, "closing the main window did not end the program cleanly")
    check(logind.calls() == [], "logind was called")


def scenario_exit_leaves_pending(app, logind, output):
    desktop = app.desktop
    step("Alt+C and Enter schedule a power-off in 600 s")
    app.key("alt+c")
    confirm_entry(app, logind, SHUTDOWN_PROMPT, None, "poweroff", 600)

    step("with About open, Alt+F on the main window ends the program and both windows")
    app.click("Command5")
    desktop.wait_window(ABOUT_TITLE)
    app.key("alt+f")
    check(app.wait_exit() == 0, "the exit key did not end the program cleanly")
    check(not desktop.windows(ABOUT_TITLE), "the About window outlived the program")

    step("the scheduled shutdown stays pending")
    time.sleep(1)
    check([method for method, _ in logind.calls()] == ["ScheduleShutdown"],
          f"logind got {logind.calls()}")


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


def scenario_desktop_entry(app, logind, output):
    step("the desktop entry's Exec line started the program; Alt+F ends it")
    check(app.first_title == STARTUP_CAPTION, f"the first caption was {app.first_title!r}")
    app.key("alt+f")
    check(app.wait_exit() == 0, "the exit key did not end the program cleanly")


SCENARIOS = {
    "startup": scenario_startup,
    "shutdown_then_cancel": scenario_shutdown_then_cancel,
    "bad_entry": scenario_bad_entry,
    "cancel_unscheduled": scenario_cancel_unscheduled,
    "refused_schedule": scenario_refused_schedule,
    "about": scenario_about,
    "exit_leaves_pending": scenario_exit_leaves_pending,
    "desktop_entry": scenario_desktop_entry,
}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--prefix", required=True, help="where Korvane is installed")
    parser.add_argument("--output", required=True, help="folder for the screenshots")
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    options = parser.parse_args()

    address = private_bus_address()
    os.makedirs(options.output, exist_ok=True)
    # A terminating ctest still runs the clean-up below.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))

    processes = Processes()
    try:
        with tempfile.TemporaryDirectory(prefix="korvane-e2e.") as scratch:
            os.chmod(scratch, 0o700)
            logind = MockLogind(address)
            desktop = Desktop(processes, scratch)
            prefix = os.path.abspath(options.prefix)
            if options.scenario == "desktop_entry":
                argv = desktop_entry_argv(prefix)
                desktop.env["PATH"] = os.path.join(prefix, "bin") + os.pathsep + desktop.env["PATH"]
            else:
                argv = [os.path.join(prefix, "bin", "korvane")]
            step(f"starting {' '.join(argv)}")
            app = Korvane(desktop, processes, argv)
            SCENARIOS[options.scenario](app, logind, options.output)
    except Failure as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        return 1
    finally:
        processes.end_all()
    print("PASS")
    return 0


if __name__ == "__main__":
    sys.exit(main())
