"""The desktop notifier against the mock logind on private_bus.py's system bus and a mock
notification server of each test's own on its session bus; RealManager against a real
systemd user manager of the test's own, with the units of the installed prefix in
KORVANE_NOTIFIER_PREFIX. Every one runs with a /run/systemd of its own.

usage: private_bus.py --own-run-systemd [--session | --services DIR] tst_linux_notifier.py
                      NOTIFIER [TEST...]
"""

import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

import dbus

from private_bus import LIFETIME, MOCK_LOGIND, own_run_systemd, private_buses, start_mock, wait_for

LOGIN1 = "org.freedesktop.login1"
MANAGER = "org.freedesktop.login1.Manager"
NOTIFICATIONS = "org.freedesktop.Notifications"
MOCK = "org.freedesktop.DBus.Mock"
TEST = "org.example.Test"
NOTIFIER_NAME = "org.example.Korvane.Notifier"
# How long an on-demand notifier stays after the last pending action went away.
LINGER_S = int(os.environ["KORVANE_NOTIFIER_LINGER_S"])
SECOND = 1000000
ACTIONS = ["cancel", "取消", "postpone", "推迟 10 分钟"]
UNIT = "/org/freedesktop/systemd1/unit/org_2eexample_2eKorvane_2eNotifier_2epath"
NO_UNIT = "raise dbus.exceptions.DBusException('no', name='org.freedesktop.systemd1.NoSuchUnit')"
# The test's own: private_bus.py mounted a tmpfs over /run/systemd for it.
SCHEDULE_FILE = "/run/systemd/shutdown/scheduled"
NOTIFIER = None


def now_usec():
    return time.clock_gettime_ns(time.CLOCK_REALTIME) // 1000


def notice(usec, action):
    """The notice for a moment: its time of day (tst_alert_plan checks the rest of the text)."""
    clock = time.strftime("%H:%M", time.localtime(usec // SECOND))
    return re.compile(rf"^计算机将于 (\d+月\d+日 )?{clock} {action}$")


class Harness(unittest.TestCase):
    def setUp(self):
        self.addresses = dict(zip(("system", "session"), private_buses()))
        self.require(own_run_systemd())
        if os.path.exists(SCHEDULE_FILE):
            os.remove(SCHEDULE_FILE)
        self.system = dbus.bus.BusConnection(self.addresses["system"])
        self.session = dbus.bus.BusConnection(self.addresses["session"])
        self.logind = dbus.Interface(self.system.get_object(LOGIN1, "/org/freedesktop/login1"),
                                     MOCK) if os.environ.get("KORVANE_MOCK_LOGIND") == "yes" else None
        if self.logind:
            self.system.call_blocking(LOGIN1, "/org/freedesktop/login1", TEST, "Reset", "", ())
        self.stderr = tempfile.TemporaryFile()
        self.addCleanup(self.stderr.close)
        self.mocks = {}

    def require(self, why):
        """Skips where why says what is missing; fails under CI, where a skip would hide that
        the test never ran."""
        if why:
            (self.fail if os.environ.get("CI") == "true" else self.skipTest)(why)

    def set_pending(self, kind, usec, announce=True):
        if announce:
            # The mock's Set sends PropertiesChanged with the value, as newer logind does.
            self.system.call_blocking(LOGIN1, "/org/freedesktop/login1", dbus.PROPERTIES_IFACE,
                                      "Set", "ssv", (MANAGER, "ScheduledShutdown", dbus.Struct(
                                          (kind, dbus.UInt64(usec)), signature="st")))
        else:
            # As systemd 252 does.
            self.system.call_blocking(LOGIN1, "/org/freedesktop/login1", TEST, "SetQuietly",
                                      "st", (kind, dbus.UInt64(usec)))

    def start(self, environment=None):
        process = subprocess.Popen([NOTIFIER], stdout=subprocess.DEVNULL, stderr=self.stderr,
                                   env=environment)

        def stop():
            process.terminate()
            process.wait(10)
        self.addCleanup(stop)
        return process

    def mock(self, bus, name, path, *arguments):
        """A dbusmock of its own that owns name, taken over from any earlier owner; its Mock
        interface, bound to it alone. It ends after the test."""
        process = self.mocks[name] = start_mock(self.addresses[bus], name, "--" + bus, *arguments)
        self.addCleanup(process.wait)
        self.addCleanup(process.terminate)
        connection = self.system if bus == "system" else self.session
        return dbus.Interface(connection.get_object(name, path), MOCK)

    def error_lines(self):
        self.stderr.seek(0)
        return self.stderr.read().decode().splitlines()

    def logind_calls(self):
        return [(str(method), list(arguments)) for _, method, arguments
                in self.logind.GetCalls() if str(method) != "SetQuietly"]


class NotificationsHarness(Harness):
    def setUp(self):
        super().setUp()
        self.notes = self.notification_server()

    def notification_server(self):
        server = self.mock("session", NOTIFICATIONS, "/org/freedesktop/Notifications",
                           "--template", "notification_daemon")
        server.AddMethod(TEST, "ResetIds", "", "", "self.next_id = 1")
        return server

    def forget_notes(self):
        """Numbered from 1 again, as ids() counts."""
        self.notes.get_dbus_method("ResetIds", TEST)()
        self.notes.ClearCalls()

    def calls(self, method, server=None):
        return [list(arguments) for _, name, arguments in (server or self.notes).GetCalls()
                if name == method]

    def ids(self):
        """The id the mock gave each notification: the one it replaced, or the next number."""
        ids, next_id = [], 1
        for call in self.calls("Notify"):
            ids.append(int(call[1]) or next_id)
            next_id += 0 if int(call[1]) else 1
        return ids

    def next_notice(self, count, timeout=30):
        """Waits for the count-th Notify; returns its arguments and the notification's id."""
        wait_for(lambda: len(self.calls("Notify")) >= count, f"notification {count}", timeout)
        notifies = self.calls("Notify")
        self.assertEqual(len(notifies), count, [str(call[4]) for call in notifies])
        return notifies[-1], self.ids()[-1]

    def check_notice(self, arguments, body, urgency):
        app, _, _, summary, text, actions, hints, expires = arguments
        self.assertEqual((str(app), str(summary)), ("Korvane", "Korvane"))
        if isinstance(body, re.Pattern):
            self.assertRegex(str(text), body)
        else:
            self.assertEqual(str(text), body)
        self.assertEqual([str(action) for action in actions], ACTIONS)
        self.assertEqual(int(hints["urgency"]), urgency)
        # A critical one stays until the person closes it.
        self.assertEqual(int(expires), 0 if urgency == 2 else -1)

    def press(self, notification, key):
        self.notes.EmitSignal(NOTIFICATIONS, "ActionInvoked", "us",
                              [dbus.UInt32(notification), key])


class NotifierTest(NotificationsHarness):
    def test_notice_found_at_start_then_a_moved_moment(self):
        moment = now_usec() + 3600 * SECOND
        self.set_pending("poweroff", moment)
        self.start()
        # Pending before the notifier started: told at once all the same.
        arguments, first = self.next_notice(1)
        self.check_notice(arguments, notice(moment, "关闭"), 1)
        # Moved to another day, and a restart now: told in the same notification.
        moment = now_usec() + 2 * 86400 * SECOND
        self.set_pending("reboot", moment)
        arguments, second = self.next_notice(2)
        self.check_notice(arguments, notice(moment, "重新启动"), 1)
        self.assertEqual((second, self.calls("CloseNotification")), (first, []))

    def test_one_minute_warning_ten_seconds_later(self):
        self.start()
        moment = now_usec() + 70 * SECOND
        self.set_pending("poweroff", moment)
        arguments, first = self.next_notice(1)
        self.check_notice(arguments, notice(moment, "关闭"), 1)
        arguments, warning = self.next_notice(2)
        shown = now_usec()
        self.check_notice(arguments, "计算机将在 1 分钟后关闭，请保存您的工作。", 2)
        self.assertEqual(warning, first, "the warning did not replace the notice")
        self.assertGreaterEqual(shown, moment - 60 * SECOND)

    def test_buttons(self):
        refuse = ("raise dbus.exceptions.DBusException('no', "
                  "name='org.freedesktop.DBus.Error.AccessDenied')")
        rows = [
            # key, logind's answer, what is shown when it refuses, seconds it takes to answer
            ("cancel", "ret = True", None, 0),
            ("postpone", "", None, 0),
            ("cancel", refuse, "系统未能取消关闭/重启计算机", 0),
            ("postpone", refuse, "系统拒绝了重启计算机的请求", 0),
            # A person asked for a password meanwhile presses again.
            ("cancel", "time.sleep(1)\nret = True", None, 1),
        ]
        self.start()
        count = 0
        for row, (key, answer, refusal, slow) in enumerate(rows):
            with self.subTest(key=key, answer=answer):
                if key == "cancel":
                    self.logind.AddMethod(MANAGER, "CancelScheduledShutdown", "", "b", answer)
                    asked = ("CancelScheduledShutdown", [])
                else:
                    self.logind.AddMethod(MANAGER, "ScheduleShutdown", "st", "", answer)
                moment = now_usec() + (3600 + 120 * row) * SECOND
                if key == "postpone":
                    asked = ("ScheduleShutdown", ["reboot", moment + 600 * SECOND])
                self.set_pending("reboot", moment)
                count += 1
                _, notification = self.next_notice(count)
                self.logind.ClearCalls()

                # Someone else's notification, or an older one: nothing.
                self.press(notification + 100, key)
                for _ in range(1 + slow):
                    self.press(notification, key)
                wait_for(self.logind_calls, "the call to logind")
                if refusal:
                    count += 1
                    arguments, shown = self.next_notice(count)
                    self.assertEqual((str(arguments[4]), shown), (refusal, notification))
                # Long enough for a wrong second call to arrive: it must not.
                time.sleep(0.5 + slow)
                self.assertEqual(self.logind_calls(), [asked])

    def test_cancelled_elsewhere_closes_the_notification(self):
        self.start()
        self.set_pending("poweroff", now_usec() + 3600 * SECOND)
        _, notification = self.next_notice(1)
        self.set_pending("", 0)
        wait_for(lambda: self.calls("CloseNotification"), "the notification to close")
        self.assertEqual(self.calls("CloseNotification"), [[notification]])

    def test_refresh_reads_a_change_that_was_not_announced(self):
        self.set_pending("poweroff", now_usec() + 3600 * SECOND)
        self.start()
        self.next_notice(1)
        moment = now_usec() + 7200 * SECOND
        self.set_pending("reboot", moment, announce=False)
        notifier = self.session.get_object("org.example.Korvane.Notifier",
                                           "/org/example/Korvane/Notifier")
        notifier.Refresh(dbus_interface="org.example.Korvane.Notifier")
        arguments, _ = self.next_notice(2)
        self.check_notice(arguments, notice(moment, "重新启动"), 1)

    def user_manager(self, answer, state="active"):
        """A mock user manager whose GetUnit runs answer for the notifier's path unit."""
        manager = self.mock("session", "org.freedesktop.systemd1", "/org/freedesktop/systemd1",
                            "org.freedesktop.systemd1", "/org/freedesktop/systemd1",
                            "org.freedesktop.systemd1.Manager")
        manager.AddObject(UNIT, "org.freedesktop.systemd1.Unit", {"ActiveState": state}, [])
        manager.AddMethod("", "GetUnit", "s", "o", "if args[0] != "
                          f"'org.example.Korvane.Notifier.path': {NO_UNIT}\n{answer}")
        return manager

    def test_resident_unless_the_path_unit_is_active(self):
        # The user manager's answer and the unit's state; the third answers later than the
        # notifier waits. All at once: the later copies wait in line, and stay too. The last
        # is on demand: once it has ended, any other that was would have ended too.
        rows = [(NO_UNIT, "active"), (f"ret = '{UNIT}'", "inactive"),
                (f"time.sleep(5)\nret = '{UNIT}'", "active"), (f"ret = '{UNIT}'", "active")]
        processes = []
        for answer, state in rows:
            manager = self.user_manager(answer, state)
            processes.append(self.start())
            started = time.monotonic()
            wait_for(manager.GetCalls, "the question to the user manager")
        self.assertEqual(processes[-1].wait(LINGER_S + 30), 0)
        # A coarse timer may ring a little early.
        self.assertGreaterEqual(time.monotonic() - started, 0.9 * LINGER_S)
        self.assertEqual([process.poll() for process in processes[:-1]], [None] * 3)
        self.assertEqual(self.calls("Notify"), [])

    def test_resume_reads_the_schedule_again(self):
        self.set_pending("poweroff", now_usec() + 3600 * SECOND)
        self.start()
        self.next_notice(1)
        # While the machine slept the moment came near, and nothing said so.
        self.set_pending("poweroff", now_usec() + 30 * SECOND, announce=False)
        for sleeping in (True, False):
            self.logind.EmitSignal(MANAGER, "PrepareForSleep", "b", [sleeping])
        # Well before a minute, which is when a re-read by the clock would come.
        arguments, _ = self.next_notice(2, timeout=20)
        self.check_notice(arguments, "计算机将在 1 分钟后关闭，请保存您的工作。", 2)

    def test_calls_in_flight(self):
        # What happens while the first Notify is unanswered, and how long the server takes to
        # answer it: the last two longer than the notifier waits for it.
        rows = [("SIGTERM", 3), ("cancelled", 3), ("moved", 3), ("taken over", 3),
                ("SIGTERM", 12), ("answered late", 7)]
        asked = os.path.join(os.environ["KORVANE_PRIVATE_BUS_DIR"], "notify_asked")
        # The template's way of numbering, after a pause the first time.
        numbering = ["ret = args[1] or self.next_id", "self.next_id += 0 if args[1] else 1"]
        for event, delay in rows:
            with self.subTest(event=event, delay=delay):
                self.forget_notes()
                self.notes.AddMethod(NOTIFICATIONS, "Notify", "susssasa{sv}i", "u", "\n".join(
                    [f"if not os.path.exists({asked!r}):", f"    open({asked!r}, 'w').close()",
                     f"    time.sleep({delay})"] + numbering))
                if os.path.exists(asked):
                    os.remove(asked)
                self.set_pending("poweroff", now_usec() + 3600 * SECOND)
                process = self.start()
                wait_for(lambda: os.path.exists(asked), "the first Notify")
                sent = time.monotonic()
                try:
                    getattr(self, "while_" + event.replace(" ", "_"))(process, delay, sent)
                finally:
                    process.terminate()
                self.assertEqual(process.wait(30), 0)

    def while_SIGTERM(self, process, delay, sent):  # pylint: disable=invalid-name
        process.terminate()
        self.assertEqual(process.wait(30), 0)
        if delay > 5:
            # It gave up at its time-out: it did not wait for the answer.
            self.assertLess(time.monotonic() - sent, delay - 2)
            self.assertEqual(self.calls("CloseNotification"), [])
        else:
            self.assertEqual(self.calls("CloseNotification"), [[1]])

    def while_cancelled(self, _process, _delay, _sent):
        self.set_pending("", 0)
        wait_for(lambda: self.calls("CloseNotification"), "the close")
        self.assertEqual(len(self.calls("Notify")), 1)

    def while_moved(self, _process, _delay, _sent):
        moment = now_usec() + 7200 * SECOND
        self.set_pending("reboot", moment)
        arguments, shown = self.next_notice(2)
        self.check_notice(arguments, notice(moment, "重新启动"), 1)
        self.assertEqual((shown, self.calls("CloseNotification")), (1, []))

    def while_taken_over(self, process, _delay, _sent):
        # A desktop shell replacing the fallback server that answered first.
        old, self.notes = self.notes, self.notification_server()
        arguments, shown = self.next_notice(1)
        self.assertEqual((int(arguments[1]), shown), (0, 1))
        wait_for(lambda: self.calls("CloseNotification", old), "the close on the old server")
        self.assertEqual(self.calls("CloseNotification", old), [[1]])
        process.terminate()
        self.assertEqual(process.wait(30), 0)
        self.assertEqual(self.calls("CloseNotification"), [[1]])

    def while_answered_late(self, _process, _delay, _sent):
        # Tried again: the late answer's notification went to nobody, the second is shown.
        _, shown = self.next_notice(2)
        self.assertEqual(shown, 2)

    def test_a_server_that_refuses_every_notify(self):
        self.notes.AddMethod(NOTIFICATIONS, "Notify", "susssasa{sv}i", "u",
                             "raise dbus.exceptions.DBusException('no', "
                             "name='org.freedesktop.DBus.Error.Failed')")
        self.set_pending("poweroff", now_usec() + 3600 * SECOND)
        self.start()
        wait_for(lambda: len(self.calls("Notify")) >= 2, "a second try")
        # Then the tries stop: none for longer than the pause between two.
        counts = []

        def settled():
            counts.append(len(self.calls("Notify")))
            return len(counts) > 50 and counts[-1] == counts[-51]
        wait_for(settled, "the tries to stop", timeout=60, interval=0.1)
        self.assertLessEqual(counts[-1], 5)

    def test_closes_its_notification_when_stopped(self):
        # The signal, and whether the server went away first: then there is nothing to close,
        # and no other server may be started for it (the bus could start one).
        started = os.path.join(os.environ["KORVANE_PRIVATE_BUS_DIR"], "server_started")
        for sent, gone in [(signal.SIGTERM, False), (signal.SIGINT, False),
                           (signal.SIGHUP, False), (signal.SIGTERM, True)]:
            with self.subTest(signal=sent, gone=gone):
                self.forget_notes()
                self.set_pending("poweroff", now_usec() + 3600 * SECOND)
                process = self.start()
                _, notification = self.next_notice(1)
                if gone:
                    self.mocks[NOTIFICATIONS].terminate()
                    wait_for(lambda: not self.session.name_has_owner(NOTIFICATIONS),
                             "the server to go")
                stopped = time.monotonic()
                process.send_signal(sent)
                self.assertEqual(process.wait(30), 0)
                if gone:
                    self.assertLess(time.monotonic() - stopped, 3)
                    self.assertFalse(os.path.exists(started), "a server was started")
                else:
                    self.assertEqual(self.calls("CloseNotification"), [[notification]])

    def test_ends_when_its_session_bus_goes_away(self):
        socket = os.path.join(os.environ["KORVANE_PRIVATE_BUS_DIR"], "dying_bus_socket")
        bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--nopidfile",
                                f"--address=unix:path={socket}"], stderr=subprocess.DEVNULL)
        self.addCleanup(bus.wait)
        self.addCleanup(bus.kill)
        wait_for(lambda: os.path.exists(socket), "the bus")
        address = f"unix:path={socket}"
        process = self.start(dict(os.environ, DBUS_SESSION_BUS_ADDRESS=address))
        dying = dbus.bus.BusConnection(address)
        wait_for(lambda: dying.name_has_owner("org.example.Korvane.Notifier"), "the notifier")
        bus.terminate()
        self.assertEqual(process.wait(30), 0)


class LogindRestart(NotificationsHarness):
    def test_a_new_logind_is_read_at_once(self):
        moment = now_usec() + 3600 * SECOND
        self.set_pending("poweroff", moment)
        self.start()
        _, first = self.next_notice(1)
        for count, (kind, usec) in enumerate([("reboot", moment + 7200 * SECOND), ("", 0)], 2):
            with self.subTest(kind=kind):
                # Back after a restart, with the schedule it read from its file.
                self.mock("system", LOGIN1, "/org/freedesktop/login1", "--template", MOCK_LOGIND,
                          "--parameters", json.dumps({"kind": kind, "usec": usec}))
                if kind:
                    arguments, shown = self.next_notice(count)
                    self.check_notice(arguments, notice(usec, "重新启动"), 1)
                    self.assertEqual(shown, first)
                else:
                    wait_for(lambda: self.calls("CloseNotification"), "the close")
                    self.assertEqual(self.calls("CloseNotification"), [[first]])


class NoServer(Harness):
    def test_quiet_until_a_server_appears(self):
        moment = now_usec() + 3600 * SECOND
        self.set_pending("reboot", moment)
        process = self.start()
        wait_for(self.error_lines, "the line on stderr")
        notes = self.mock("session", NOTIFICATIONS, "/org/freedesktop/Notifications",
                          "--template", "notification_daemon")
        notifies = wait_for(lambda: [c for _, m, c in notes.GetCalls() if m == "Notify"],
                            "the notice once a server is there")
        self.assertRegex(str(notifies[0][4]), notice(moment, "重新启动"))
        self.assertIsNone(process.poll())
        self.assertEqual(len(self.error_lines()), 1, self.error_lines())
        self.assertEqual(self.logind_calls(), [])


class NoLogind(NotificationsHarness):
    def test_ends_quietly(self):
        process = self.start()
        self.assertEqual(process.wait(30), 0)
        self.assertEqual(len(self.error_lines()), 1, self.error_lines())
        self.assertEqual(self.calls("Notify"), [])


SYSTEMD = "/lib/systemd/systemd"
SYSTEMD1 = "org.freedesktop.systemd1"
PATH_UNIT = "org.example.Korvane.Notifier.path"
SERVICE = "org.example.Korvane.Notifier.service"
DESKTOP = "korvane-test-desktop.target"
# A desktop session as GNOME's and Plasma's are: it binds the session target, and starts
# the autostart entries' units, as Plasma does.
DESKTOP_UNIT = """[Unit]
Description=A desktop session of the test's own
BindsTo=graphical-session.target
Before=graphical-session.target
Wants=xdg-desktop-autostart.target
"""


class RealManager(NotificationsHarness):
    """Against a real systemd --user, started afresh for each test in private_bus.py's mount
    namespace, with the installed prefix's units, bus service file and autostart entry in its
    private HOME, and the mock notification server on its own user bus."""

    def setUp(self):
        self.require(own_run_systemd() or (None if os.access(SYSTEMD, os.X_OK)
                                           else f"no {SYSTEMD}"))
        root = tempfile.mkdtemp(dir=os.environ["KORVANE_PRIVATE_BUS_DIR"], prefix="manager.")
        self.home, self.runtime = os.path.join(root, "home"), os.path.join(root, "runtime")
        os.mkdir(self.runtime, 0o700)
        self.install(os.environ["KORVANE_NOTIFIER_PREFIX"])
        self.start_manager()
        self.addCleanup(os.environ.__setitem__, "DBUS_SESSION_BUS_ADDRESS",
                        os.environ["DBUS_SESSION_BUS_ADDRESS"])
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = f"unix:path={self.runtime}/bus"
        super().setUp()
        self.manager("StartUnit", DESKTOP, "replace")
        self.wait_unit(PATH_UNIT, "active")

    def install(self, prefix):
        units = os.path.join(self.home, ".local/share/systemd/user")
        shutil.copytree(os.path.join(prefix, "lib/systemd/user"), units, symlinks=True)
        with open(os.path.join(units, DESKTOP), "w", encoding="utf-8") as unit:
            unit.write(DESKTOP_UNIT)
        shutil.copytree(os.path.join(prefix, "share/dbus-1/services"),
                        os.path.join(self.home, ".local/share/dbus-1/services"))
        autostart = os.path.join(self.home, ".config/autostart")
        entry = os.path.join(prefix, "etc/xdg/autostart", NOTIFIER_NAME + ".desktop")
        os.makedirs(autostart)
        shutil.copy(entry, autostart)
        # The same entry without the key: proof that the generator read the folder.
        with open(entry, encoding="utf-8") as source, \
                open(os.path.join(autostart, "unskipped.desktop"), "w", encoding="utf-8") as copy:
            copy.writelines(line for line in source if not line.startswith("X-systemd-skip"))

    def start_manager(self):
        environment = {name: value for name, value in os.environ.items()
                       if not name.startswith(("XDG_", "DBUS_SESSION"))}
        # The machine's own autostart entries stay out of it.
        environment.update(HOME=self.home, XDG_RUNTIME_DIR=self.runtime,
                           XDG_CONFIG_DIRS=os.path.join(self.home, "none"))
        log = open(os.path.join(self.runtime, "..", "manager.log"), "wb")  # pylint: disable=consider-using-with
        self.addCleanup(log.close)
        process = subprocess.Popen(["timeout", LIFETIME, SYSTEMD, "--user"], env=environment,
                                   stdout=log, stderr=subprocess.STDOUT)
        self.addCleanup(self.end_leftovers)
        self.addCleanup(process.wait, 60)
        socket = os.path.join(self.runtime, "systemd/private")
        wait_for(lambda: os.path.exists(socket), "the user manager")
        # Its own socket, not a bus: nothing here can reach another manager.
        self.private = dbus.connection.Connection(f"unix:path={socket}")
        self.addCleanup(self.manager, "Exit")
        wait_for(lambda: self.manager_state() in ("running", "degraded"), "the user manager")
        # Services take HOME from the password database, and the user bus is not started
        # before this.
        self.manager("SetEnvironment", [
            f"HOME={self.home}", f"XDG_DATA_HOME={self.home}/.local/share",
            "DBUS_SYSTEM_BUS_ADDRESS=" + os.environ["DBUS_SYSTEM_BUS_ADDRESS"]])

    def end_leftovers(self):
        """What the manager started and left behind when it ended (its bus, for one)."""
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open(f"/proc/{pid}/environ", "rb") as environ:
                    if f"XDG_RUNTIME_DIR={self.runtime}\0".encode() in environ.read():
                        os.kill(int(pid), signal.SIGKILL)
            except OSError:
                pass

    def proxy(self, path):
        # A peer, not a bus: objects with no bus name, which call_blocking() will not take.
        return self.private.get_object(None, path, introspect=False)

    def manager(self, method, *arguments):
        return self.proxy("/org/freedesktop/systemd1").get_dbus_method(
            method, SYSTEMD1 + ".Manager")(*arguments)

    def manager_state(self):
        """Its SystemState, or None while it does not answer yet: the first call on a new
        connection may go unanswered."""
        try:
            return self.proxy("/org/freedesktop/systemd1").Get(
                SYSTEMD1 + ".Manager", "SystemState", dbus_interface=dbus.PROPERTIES_IFACE,
                timeout=2)
        except dbus.exceptions.DBusException:
            return None

    def unit(self, name):
        """ActiveState, SubState, Result and (a service's) NRestarts of a unit."""
        unit = self.proxy(self.manager("LoadUnit", name))
        kind = SYSTEMD1 + (".Service" if name.endswith(".service") else ".Path")
        keys = [(SYSTEMD1 + ".Unit", "ActiveState"), (SYSTEMD1 + ".Unit", "SubState"),
                (kind, "Result")] + [(kind, "NRestarts")] * name.endswith(".service")
        return {key: str(unit.Get(interface, key, dbus_interface=dbus.PROPERTIES_IFACE))
                for interface, key in keys}

    def wait_unit(self, name, active_state, timeout=30):
        # Asked at a person's pace: a manager asked without pause is slow to answer others.
        wait_for(lambda: self.unit(name)["ActiveState"] == active_state,
                 f"{name} to be {active_state}", timeout, interval=0.5)

    def schedule(self, kind, usec):
        """As logind does it: the property, and its schedule file, written whole."""
        self.set_pending(kind, usec)
        with open(SCHEDULE_FILE + ".new", "w", encoding="ascii") as file:
            file.write(f"USEC={usec}\nWARN_WALL=1\nMODE={kind}\n")
        os.rename(SCHEDULE_FILE + ".new", SCHEDULE_FILE)

    def cancel(self):
        self.set_pending("", 0)
        os.remove(SCHEDULE_FILE)

    def assert_ended_well(self):
        """The service ended by itself, once it had lingered; the path unit waits for the next
        schedule."""
        went = time.monotonic()
        self.wait_unit(SERVICE, "inactive", LINGER_S + 30)
        self.assertGreaterEqual(time.monotonic() - went, LINGER_S / 2)
        self.assertEqual((self.unit(SERVICE), self.unit(PATH_UNIT)),
                         ({"ActiveState": "inactive", "SubState": "dead", "Result": "success",
                           "NRestarts": "0"},
                          {"ActiveState": "active", "SubState": "waiting", "Result": "success"}))

    def test_path_unit_starts_it_while_scheduled(self):
        self.schedule("poweroff", now_usec() + 3600 * SECOND)
        _, notification = self.next_notice(1)
        self.assertEqual(self.unit(SERVICE)["ActiveState"], "active")
        self.cancel()
        self.assert_ended_well()
        self.assertEqual(self.calls("CloseNotification"), [[notification]])

    def test_refresh_through_the_manager(self):
        # Pending, but no schedule file: only the call starts it.
        for kind in ("reboot", ""):
            with self.subTest(kind=kind):
                self.forget_notes()
                before = self.unit(SERVICE)
                self.set_pending(kind, now_usec() + 3600 * SECOND if kind else 0, announce=False)
                self.session.call_blocking(NOTIFIER_NAME, "/org/example/Korvane/Notifier",
                                           NOTIFIER_NAME, "Refresh", "", ())
                self.assertEqual(self.unit(SERVICE)["ActiveState"], "active", before)
                if kind:
                    self.next_notice(1)
                    self.set_pending("", 0)
                self.assert_ended_well()

    def test_the_generator_leaves_the_entry_to_the_units(self):
        generated = os.listdir(os.path.join(self.runtime, "systemd/generator.late"))
        self.assertIn("app-unskipped@autostart.service", generated)
        self.assertEqual([name for name in generated if NOTIFIER_NAME in name], [])

    def test_a_copy_that_holds_the_name(self):
        # Started by hand, or by a desktop that runs the autostart entry too.
        self.set_pending("poweroff", now_usec() + 3600 * SECOND, announce=False)
        first = self.start()
        _, notification = self.next_notice(1)
        self.schedule("poweroff", now_usec() + 7200 * SECOND)
        self.wait_unit(SERVICE, "active")
        _, notification = self.next_notice(2)
        # The service's copy waits in line and shows nothing, until the first one ends.
        time.sleep(1)
        self.assertEqual(len(self.calls("Notify")), 2)
        first.terminate()
        self.assertEqual(first.wait(30), 0)
        self.next_notice(3)
        self.assertEqual(self.calls("CloseNotification")[-1], [notification])
        self.cancel()
        self.assert_ended_well()

    def test_quick_clicks_stay_below_the_start_limit(self):
        for _ in range(10):
            self.schedule("poweroff", now_usec() + 3600 * SECOND)
            time.sleep(0.5)
            self.cancel()
            time.sleep(0.5)
        self.assert_ended_well()
        self.forget_notes()
        self.schedule("reboot", now_usec() + 3600 * SECOND)
        self.next_notice(1)

    def test_logging_out_and_in_while_pending(self):
        self.schedule("poweroff", now_usec() + 3600 * SECOND)
        _, notification = self.next_notice(1)
        self.manager("StopUnit", DESKTOP, "replace")
        self.wait_unit(PATH_UNIT, "inactive")
        self.wait_unit(SERVICE, "inactive")
        self.assertEqual(self.calls("CloseNotification"), [[notification]])
        # Must not happen: nothing starts it again with no desktop to show anything on.
        time.sleep(1)
        self.assertEqual((self.unit(SERVICE)["ActiveState"], len(self.calls("Notify"))),
                         ("inactive", 1))
        self.manager("StartUnit", DESKTOP, "replace")
        self.next_notice(2)


if __name__ == "__main__":
    NOTIFIER = sys.argv[1]
    unittest.main(argv=[sys.argv[0]] + (sys.argv[2:] or ["NotifierTest"]), verbosity=2)
