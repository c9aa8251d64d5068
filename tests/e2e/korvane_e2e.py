#!/usr/bin/python3
"""Drives the installed Korvane like a person: on an X server of its own (Xvfb with openbox),
with mouse clicks at the buttons' designed places and keys through xdotool. One driver for
both front ends; a platform adapter starts the program and says what commands reached the
system: platform_linux.py (the Qt program against the mock logind on the private bus that
tests/linux/private_bus.py starts around this script) and platform_wine.py (korvane.exe
under Wine, with a recording shutdown.exe in the system folder).

usage: private_bus.py korvane_e2e.py --platform linux --prefix PREFIX --output FOLDER SCENARIO
       korvane_e2e.py --platform wine --prefix FOLDER --output FOLDER SCENARIO
"""

import argparse
import ctypes
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from e2e_support import MESSAGE_TITLE, PATIENCE, STARTUP_CAPTION, Failure, check, step, wait_for

# The locale's long time: 24 hours, or 12 with AM and PM (Wine's en-US).
CLOCK_CAPTION = re.compile(r"^当前时间: (\d{1,2}):(\d\d):(\d\d)(?: ([AP]M))?$")
SHUTDOWN_PROMPT = "关机倒计时(分)"
RESTART_PROMPT = "重启倒计时(分)"
ABOUT_TITLE = "关于 Korvane"

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


def die_with_parent():
    # PR_SET_PDEATHSIG: a child outlives neither this script nor a ctest time-out's kill.
    ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGTERM)


class Processes:
    """Everything this run starts, and how to stop what it cannot wait for, ended in reverse
    order."""

    def __init__(self):
        self.started = []

    def start(self, argv, env, **kwargs):
        process = subprocess.Popen(argv, env=env, preexec_fn=die_with_parent, **kwargs)
        self.started.append(process)
        return process

    def on_end(self, stop):
        self.started.append(stop)

    def end_all(self):
        for process in reversed(self.started):
            if callable(process):
                process()
            elif process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()


class Desktop:
    """An X server on a free display with a window manager, and xdotool to work it."""

    def __init__(self, processes, scratch, environment):
        self.env = {
            "PATH": os.environ["PATH"],
            "HOME": scratch,
            "XDG_RUNTIME_DIR": scratch,
            "XDG_CONFIG_HOME": os.path.join(scratch, "config"),
            "LC_ALL": "C.UTF-8",
            **environment,
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
        result = subprocess.run(argv, env=self.env, capture_output=True, text=True,
                                timeout=PATIENCE)
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
        """Where the window is on the screen, and its size. Not xdotool's getwindowgeometry:
        for a window inside the window manager's frame it adds the offset in the frame, the
        title bar's height, to the position."""
        text = self.run("xwininfo", "-id", window)
        values = dict(line.strip().split(": ", 1) for line in text.splitlines() if ": " in line)
        return tuple(int(values[key]) for key in (
            "Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))

    def wait_window(self, title, timeout=PATIENCE):
        return wait_for(f"a window titled {title}", lambda: self.windows(title), timeout)[0]

    def wait_gone(self, title, timeout=PATIENCE):
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

    def dismiss(self, message):
        self.key(message, "Return")
        self.wait_gone(MESSAGE_TITLE)

    def screenshot(self, window, path, frame=False):
        self.run("import", *(["-frame"] if frame else []), "-window", window, path)
        step(f"screenshot {path}")


class Korvane:
    """The installed program, started as the platform starts it."""

    def __init__(self, desktop, processes, platform, argv):
        self.desktop = desktop
        self.platform = platform
        self.process = processes.start(argv, desktop.env, **platform.program_output())
        # Seen as soon as the window exists: the first tick comes a second later.
        self.first_title = None
        started = time.monotonic()
        try:
            # Twice the usual patience: a start, under Wine above all, is the slowest step.
            self.window = wait_for("Korvane's main window", self._main_window,
                                   timeout=2 * PATIENCE)
        except Failure:
            # What there is instead, mapped or not, says whether the program or the window
            # manager is stuck.
            print(desktop.xdotool("search", "--pid", str(self.process.pid), check_result=False),
                  desktop.run("xwininfo", "-root", "-tree", check_result=False), file=sys.stderr)
            raise
        step(f"the main window came up after {time.monotonic() - started:.1f} s")

    def _main_window(self):
        check(self.process.poll() is None, f"Korvane ended early ({self.process.returncode})")
        found = self.platform.main_window(self.desktop, self.process)
        if found and self.first_title is None:
            self.first_title = self.desktop.title(found)
        return found

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

    def wait_exit(self, timeout=PATIENCE):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure("Korvane did not end")

    def commands(self):
        """What reached the system, as the platform records it."""
        return self.platform.commands()

    def wait_commands(self, count, timeout=PATIENCE):
        def enough():
            commands = self.commands()
            return commands if len(commands) >= count else None
        return wait_for(f"{count} commands", enough, timeout)

    def actions(self):
        return [action for action, _ in self.commands()]

    def cancel(self, actions):
        """Clicks cancel after one schedule; actions are all the commands it should leave, and
        no message follows."""
        self.click("Command3")
        self.wait_commands(2)
        check(self.actions() == actions, f"commands: {self.commands()}")
        # A message would only follow the cancel command's end, and nothing else tells that
        # none is coming: give it the time one takes to show.
        time.sleep(0.5)
        check(not self.desktop.windows(MESSAGE_TITLE), "a message box came up")

    def close_and_check_exit(self):
        self.key("alt+F4")
        check(self.wait_exit() == 0, "closing the main window did not end the program cleanly")


def confirm_entry(app, title, entry, kind, delay_seconds):
    """Answers the open delay prompt with entry (None keeps the default) and checks the
    command that follows."""
    desktop = app.desktop
    prompt = desktop.wait_window(title)
    count = len(app.commands())
    if entry is not None:
        desktop.key(prompt, "ctrl+a")
        desktop.type(prompt, entry)
    before = app.platform.now()
    desktop.key(prompt, "Return")
    desktop.wait_gone(title)
    commands = app.wait_commands(count + 1)
    app.platform.check_schedule(commands[count], kind, delay_seconds, before,
                                app.platform.now())


def clock_seconds(caption):
    """The time of day a clock caption shows, in seconds, or None."""
    match = CLOCK_CAPTION.match(caption)
    if not match:
        return None
    hour = int(match[1])
    if match[4]:
        hour = hour % 12 + (12 if match[4] == "PM" else 0)
    return hour * 3600 + int(match[2]) * 60 + int(match[3])


def scenario_startup(app, output):
    step("the start-up caption, then the clock")
    check(app.first_title == STARTUP_CAPTION,
          f"the first caption was {app.first_title!r}, not {STARTUP_CAPTION!r}")
    desktop = app.desktop
    shown = wait_for("the clock caption",
                     lambda: clock_seconds(desktop.title(app.window)))
    now = time.localtime()
    drift = abs(now.tm_hour * 3600 + now.tm_min * 60 + now.tm_sec - shown)
    check(min(drift, 86400 - drift) <= 3, f"the clock shows {desktop.title(app.window)!r}")

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
    check(app.commands() == [], f"commands: {app.commands()}")


def scenario_shutdown_then_cancel(app, output):
    step("shut down with the default entry: Enter schedules a power-off in 600 s")
    app.click("Command1")
    confirm_entry(app, SHUTDOWN_PROMPT, None, "poweroff", 600)

    step("cancel: the scheduled shutdown is cancelled, and no message")
    app.cancel(["poweroff", "cancel"])

    step("closing the window ends the program")
    app.close_and_check_exit()


def scenario_bad_entry(app, output):
    desktop = app.desktop
    step("restart, entry abc: the message, then the second prompt")
    app.click("Command2")
    prompt = desktop.wait_window(RESTART_PROMPT)
    desktop.screenshot(prompt, os.path.join(output, "prompt_restart.png"))
    desktop.key(prompt, "ctrl+a")
    desktop.type(prompt, "abc")
    desktop.key(prompt, "Return")
    message = desktop.wait_window(MESSAGE_TITLE)
    desktop.screenshot(message, os.path.join(output, "message_bad_entry.png"))
    check(not desktop.windows(RESTART_PROMPT), "the prompt stayed open under the message")
    desktop.dismiss(message)

    step("the second prompt is the restart one; its entry 2 restarts in 120 s")
    confirm_entry(app, RESTART_PROMPT, "2", "reboot", 120)
    # The bad entry would have come first.
    check(app.actions() == ["reboot"], f"commands: {app.commands()}")

    step("cancel")
    app.cancel(["reboot", "cancel"])
    app.close_and_check_exit()


def scenario_cancel_unscheduled(app, output):
    desktop = app.desktop
    step("Alt+D, shared by restart and cancel, moves the focus to restart and presses it not")
    app.key("alt+d")
    # Only waiting shows that no prompt comes.
    time.sleep(0.5)
    check(not desktop.windows(RESTART_PROMPT), "Alt+D pressed the restart button")

    step("Alt+D again reaches cancel, and Space presses it: nothing scheduled, so a message")
    app.key("alt+d")
    app.key("space")
    message = desktop.wait_window(MESSAGE_TITLE)
    desktop.screenshot(message, os.path.join(output, "message_cancel.png"))
    desktop.dismiss(message)

    step("the same after a schedule and its cancel (Alt+C opens the prompt)")
    app.key("alt+c")
    confirm_entry(app, SHUTDOWN_PROMPT, "0", "poweroff", 0)
    app.click("Command3")
    app.wait_commands(2)
    app.click("Command3")
    desktop.dismiss(desktop.wait_window(MESSAGE_TITLE))
    # The first cancel's command would have come before the schedule; the last one's would
    # come after everything else, so only waiting can show it does not come.
    time.sleep(0.5)
    check(app.actions() == ["poweroff", "cancel"], f"commands: {app.commands()}")
    app.close_and_check_exit()


def scenario_refused_schedule(app, output):
    desktop = app.desktop
    step("the system refuses the shutdown: a message box says so")
    app.platform.refuse_schedule()
    app.click("Command1")
    confirm_entry(app, SHUTDOWN_PROMPT, None, "poweroff", 600)
    message = desktop.wait_window(MESSAGE_TITLE)
    desktop.screenshot(message, os.path.join(output, "message_refused.png"))

    step("the window stays usable: its clock goes on under the message")
    shown = desktop.title(app.window)
    wait_for("the clock to tick", lambda: desktop.title(app.window) != shown)
    desktop.dismiss(message)

    step("the refusal left the schedule to cancel: the cancel command, and no message")
    app.cancel(["poweroff", "cancel"])
    app.close_and_check_exit()


def scenario_about(app, output):
    desktop = app.desktop
    step("two clicks on About open one About window")
    app.click("Command5")
    about = desktop.wait_window(ABOUT_TITLE)
    _, _, width, height = desktop.geometry(about)
    check((width, height) == (380, 195), f"the About window is {width}x{height}, not 380x195")
    desktop.screenshot(about, os.path.join(output, "about.png"))
    app.click("Command5")

    step("Esc closes it; the main window stays")
    # The program takes the second click before this key: a second About window would be
    # there by now, and would stay.
    desktop.key(about, "Escape")
    wait_for("the About window to close, and no second one",
             lambda: not desktop.windows(ABOUT_TITLE))
    check(app.process.poll() is None, "closing About ended the program")

    step("Alt+Q opens it afresh; Enter closes it")
    app.key("alt+q")
    desktop.key(desktop.wait_window(ABOUT_TITLE), "Return")
    desktop.wait_gone(ABOUT_TITLE)
    app.close_and_check_exit()
    check(app.commands() == [], f"commands: {app.commands()}")


def window_icon(desktop, window):
    return desktop.run("xprop", "-id", window, "_NET_WM_ICON")


def in_front(desktop, window):
    """Mapped, not hidden, and on top of every other managed window."""
    state = desktop.run("xprop", "-id", window, "_NET_WM_STATE", check_result=False)
    stacking = desktop.run("xprop", "-root", "_NET_CLIENT_LIST_STACKING").split("#")[-1]
    return (window in desktop.windows(ABOUT_TITLE) and "_NET_WM_STATE_HIDDEN" not in state
            and int(stacking.split(",")[-1], 16) == int(window))


def scenario_about_window(app, output):
    desktop = app.desktop
    step("the About window has no icon of its own; the main window has Korvane's")
    app.click("Command5")
    about = desktop.wait_window(ABOUT_TITLE)
    # Where a window has none, openbox puts its own default icon there.
    check(window_icon(desktop, about) != window_icon(desktop, app.window),
          "the About window has the main window's icon")

    step("minimised, it comes back to the front on the next click on About")
    desktop.xdotool("windowminimize", "--sync", about)
    check(not desktop.windows(ABOUT_TITLE), "the minimised About window is still shown")
    app.click("Command5")
    wait_for("the About window back in front", lambda: in_front(desktop, about))
    desktop.key(about, "Escape")
    desktop.wait_gone(ABOUT_TITLE)
    app.close_and_check_exit()


def scenario_sys_info(app, output):
    desktop = app.desktop
    step("About's Alt+S starts the system information tool the system names, once")
    app.key("alt+q")
    about = desktop.wait_window(ABOUT_TITLE)
    desktop.key(about, "alt+s")
    started = wait_for("the system information tool", app.platform.tool_starts)
    check(len(started) == 1 and app.platform.is_sys_info_tool(started[0]),
          f"started as the tool: {started}")
    check(not desktop.windows(MESSAGE_TITLE), "a message box came up")
    desktop.key(about, "Escape")
    desktop.wait_gone(ABOUT_TITLE)
    app.close_and_check_exit()
    check(app.commands() == [], f"commands: {app.commands()}")


def scenario_exit_leaves_pending(app, output):
    desktop = app.desktop
    step("Alt+C and Enter schedule a power-off in 600 s")
    app.key("alt+c")
    confirm_entry(app, SHUTDOWN_PROMPT, None, "poweroff", 600)

    step("with About open, Alt+F on the main window ends the program and both windows")
    app.click("Command5")
    desktop.wait_window(ABOUT_TITLE)
    app.key("alt+f")
    check(app.wait_exit() == 0, "the exit key did not end the program cleanly")
    check(not desktop.windows(ABOUT_TITLE), "the About window outlived the program")

    step("the scheduled shutdown stays pending")
    # A cancel started on the way out would reach the system after the program ended;
    # nothing is left to show it other than time.
    time.sleep(1)
    check(app.actions() == ["poweroff"], f"commands: {app.commands()}")


SCENARIOS = {
    "startup": scenario_startup,
    "shutdown_then_cancel": scenario_shutdown_then_cancel,
    "bad_entry": scenario_bad_entry,
    "cancel_unscheduled": scenario_cancel_unscheduled,
    "refused_schedule": scenario_refused_schedule,
    "about": scenario_about,
    "about_window": scenario_about_window,
    "exit_leaves_pending": scenario_exit_leaves_pending,
    "sys_info": scenario_sys_info,
}


def make_platform(options):
    if options.platform == "wine":
        from platform_wine import WinePlatform
        return WinePlatform(options)
    from platform_linux import LinuxPlatform
    return LinuxPlatform(options)


def run(options, platform, scratch, processes):
    scenarios = {**SCENARIOS, **platform.scenarios}
    check(options.scenario in scenarios, f"no scenario {options.scenario} on {options.platform}")
    desktop = Desktop(processes, scratch, platform.environment)
    platform.start_session(desktop, processes, options.scenario)
    argv = platform.argv(options.scenario, desktop)
    step(f"starting {' '.join(argv)}")
    app = Korvane(desktop, processes, platform, argv)
    scenarios[options.scenario](app, options.output)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--platform", choices=("linux", "wine"), default="linux")
    parser.add_argument("--prefix", required=True,
                        help="where Korvane is installed (wine: the folder of korvane.exe)")
    parser.add_argument("--output", required=True, help="folder for the screenshots and logs")
    parser.add_argument("--installer", help="wine: the installer the installer scenario runs")
    parser.add_argument("scenario")
    options = parser.parse_args()
    options.output = os.path.abspath(options.output)

    os.makedirs(options.output, exist_ok=True)
    platform = make_platform(options)
    # A terminating ctest still runs the clean-up below.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))

    processes = Processes()
    scratch = tempfile.mkdtemp(prefix="korvane-e2e.")
    try:
        run(options, platform, scratch, processes)
    except Failure as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        return 1
    finally:
        # The programs, the window manager and the X server keep files in the scratch
        # HOME until they end.
        processes.end_all()
        shutil.rmtree(scratch, ignore_errors=True)
    print("PASS")
    return 0


if __name__ == "__main__":
    sys.exit(main())
