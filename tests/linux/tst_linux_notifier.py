"""The desktop notifier against the mock logind on private_bus.sh's system bus and the mock
notification server on its session bus.

usage: private_bus.sh --notifications tst_linux_notifier.py NOTIFIER [TEST...]
"""

import json
import os
import signal
import subprocess
import sys
import tempfile
import time
import unittest

import dbus

from private_bus import private_buses

LOGIN1 = "org.freedesktop.login1"
MANAGER = "org.freedesktop.login1.Manager"
NOTIFICATIONS = "org.freedesktop.Notifications"
MOCK = "org.freedesktop.DBus.Mock"
SECOND = 1000000
ACTIONS = ["cancel", "取消", "postpone", "推迟 10 分钟"]
UNIT = "/org/freedesktop/systemd1/unit/org_2eexample_2eKorvane_2eNotifier_2epath"
NO_UNIT = "raise dbus.exceptions.DBusException('no', name='org.freedesktop.systemd1.NoSuchUnit')"
NOTIFIER = None


def now_usec():
    return time.clock_gettime_ns(time.CLOCK_REALTIME) // 1000


def wait_for(condition, what, timeout=30):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError(f"waited {timeout} s for {what}")


def clock_text(usec):
    """The moment as the notice writes it, by the same rule."""
    moment = time.localtime(usec // SECOND)
    text = time.strftime("%H:%M", moment)
    if time.localtime()[:3] != moment[:3]:
        text = f"{moment.tm_mon}月{moment.tm_mday}日 {text}"
    return text


class Harness(unittest.TestCase):
    def setUp(self):
        system, session = private_buses()
        self.system = dbus.bus.BusConnection(system)
        self.session = dbus.bus.BusConnection(session)
        self.logind = dbus.Interface(self.system.get_object(LOGIN1, "/org/freedesktop/login1"),
                                     MOCK) if os.environ.get("KORVANE_MOCK_LOGIND") == "yes" else None
        if self.logind:
            self.logind.AddMethod(MANAGER, "ScheduleShutdown", "st", "", "")
            self.logind.AddMethod(MANAGER, "CancelScheduledShutdown", "", "b", "ret = True")
            # systemd 252 changes the property without a word.
            self.logind.AddMethod("org.example.Test", "SetQuietly", "st", "",
                                  f"self.props['{MANAGER}']['ScheduledShutdown'] = "
                                  "dbus.Struct((args[0], args[1]), signature='st')")
            self.set_pending("", 0)
            self.logind.ClearCalls()
        self.stderr = tempfile.TemporaryFile()
        self.addCleanup(self.stderr.close)

    def set_pending(self, kind, usec, announce=True):
        if announce:
            # The mock's Set sends PropertiesChanged with the value, as newer logind does.
            self.system.call_blocking(LOGIN1, "/org/freedesktop/login1", dbus.PROPERTIES_IFACE,
                                      "Set", "ssv", (MANAGER, "ScheduledShutdown", dbus.Struct(
                                          (kind, dbus.UInt64(usec)), signature="st")))
        else:
            self.system.call_blocking(LOGIN1, "/org/freedesktop/login1", "org.example.Test",
                                      "SetQuietly", "st", (kind, dbus.UInt64(usec)))

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
        interface. It ends after the test."""
        connection = self.system if bus == "system" else self.session
        before = connection.get_name_owner(name) if connection.name_has_owner(name) else None
        process = subprocess.Popen(["/usr/bin/python3", "-m", "dbusmock", "--" + bus, *arguments],
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(process.wait)
        self.addCleanup(process.terminate)
        wait_for(lambda: connection.name_has_owner(name)
                 and connection.get_name_owner(name) != before, f"a new owner of {name}")
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
        self.notes = dbus.Interface(
            self.session.get_object(NOTIFICATIONS, "/org/freedesktop/Notifications"), MOCK)
        self.notes.AddMethod("org.example.Test", "ResetIds", "", "", "self.next_id = 1")
        self.forget_notes()

    def forget_notes(self):
        """Numbered from 1 again, as ids() counts."""
        self.session.call_blocking(NOTIFICATIONS, "/org/freedesktop/Notifications",
                                   "org.example.Test", "ResetIds", "", ())
        self.notes.ClearCalls()

    def calls(self, method):
        return [list(arguments) for _, name, arguments in self.notes.GetCalls()
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
        self.assertEqual((str(app), str(summary), str(text)), ("Korvane", "Korvane", body))
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
        self.check_notice(arguments, f"计算机将于 {clock_text(moment)} 关闭", 1)
        # Moved to another day, and a restart now: the old notification goes first.
        moment = now_usec() + 2 * 86400 * SECOND
        self.set_pending("reboot", moment)
        arguments, _ = self.next_notice(2)
        self.check_notice(arguments, f"计算机将于 {clock_text(moment)} 重新启动", 1)
        self.assertEqual(self.calls("CloseNotification"), [[first]])

    def test_one_minute_warning_ten_seconds_later(self):
        self.start()
        moment = now_usec() + 70 * SECOND
        self.set_pending("poweroff", moment)
        arguments, notice = self.next_notice(1)
        self.check_notice(arguments, f"计算机将于 {clock_text(moment)} 关闭", 1)
        arguments, warning = self.next_notice(2)
        shown = now_usec()
        self.check_notice(arguments, "计算机将在 1 分钟后关闭，请保存您的工作。", 2)
        self.assertEqual(warning, notice, "the warning did not replace the notice")
        self.assertGreaterEqual(shown, moment - 60 * SECOND)

    def test_buttons(self):
        refuse = ("raise dbus.exceptions.DBusException('no', "
                  "name='org.freedesktop.DBus.Error.AccessDenied')")
        rows = [
            # key, logind's answer, what is shown when it refuses
            ("cancel", "ret = True", None),
            ("postpone", "", None),
            ("cancel", refuse, "系统未能取消关闭/重启计算机"),
            ("postpone", refuse, "系统拒绝了重启计算机的请求"),
        ]
        self.start()
        count = 0
        for row, (key, answer, refusal) in enumerate(rows):
            with self.subTest(key=key, answer=answer):
                if key == "cancel":
                    self.logind.AddMethod(MANAGER, "CancelScheduledShutdown", "", "b", answer)
                    asked = ("CancelScheduledShutdown", [])
                else:
                    self.logind.AddMethod(MANAGER, "ScheduleShutdown", "st", "", answer)
                moment = now_usec() + (3600 + row) * SECOND
                if key == "postpone":
                    asked = ("ScheduleShutdown", ["reboot", moment + 600 * SECOND])
                self.set_pending("reboot", moment)
                count += 1
                _, notification = self.next_notice(count)
                self.logind.ClearCalls()

                # Someone else's notification, or an older one: nothing.
                self.press(notification + 100, key)
                self.press(notification, key)
                wait_for(self.logind_calls, "the call to logind")
                if refusal:
                    count += 1
                    arguments, shown = self.next_notice(count)
                    self.assertEqual((str(arguments[4]), shown), (refusal, notification))
                # Long enough for a wrong second call to arrive: it must not.
                time.sleep(0.5)
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
        self.check_notice(arguments, f"计算机将于 {clock_text(moment)} 重新启动", 1)

    def test_second_copy_exits(self):
        self.start()
        wait_for(lambda: self.session.name_has_owner("org.example.Korvane.Notifier"),
                 "the first copy's name")
        second = subprocess.run([NOTIFIER], capture_output=True, timeout=30, check=False)
        self.assertEqual((second.returncode, second.stderr), (0, b""))

    def user_manager(self, answer, state="active"):
        """A mock user manager whose GetUnit runs answer for the notifier's path unit."""
        manager = self.mock("session", "org.freedesktop.systemd1", "/org/freedesktop/systemd1",
                            "org.freedesktop.systemd1", "/org/freedesktop/systemd1",
                            "org.freedesktop.systemd1.Manager")
        manager.AddObject(UNIT, "org.freedesktop.systemd1.Unit", {"ActiveState": state}, [])
        manager.AddMethod("", "GetUnit", "s", "o", "if args[0] != "
                          f"'org.example.Korvane.Notifier.path': {NO_UNIT}\n{answer}")
        return manager

    def test_on_demand_or_resident(self):
        # The user manager's answer, the unit's state, whether it ends with nothing pending;
        # the last answers later than the notifier waits.
        rows = [(f"ret = '{UNIT}'", "active", True), (f"ret = '{UNIT}'", "inactive", False),
                (NO_UNIT, "active", False), (f"time.sleep(5)\nret = '{UNIT}'", "active", False)]
        for answer, state, ends in rows:
            with self.subTest(answer=answer, state=state):
                manager = self.user_manager(answer, state)
                process = self.start()
                if not ends:
                    wait_for(manager.GetCalls, "the question to the user manager")
                    time.sleep(7)
                    self.assertIsNone(process.poll())
                    process.terminate()
                self.assertEqual(process.wait(30), 0)
        self.assertEqual(self.calls("Notify"), [])

    def test_on_demand_stays_while_pending_then_closes_and_ends(self):
        manager = self.user_manager(f"ret = '{UNIT}'")
        self.set_pending("poweroff", now_usec() + 3600 * SECOND)
        process = self.start()
        _, notification = self.next_notice(1)
        wait_for(manager.GetCalls, "the question to the user manager")
        time.sleep(2)
        self.assertIsNone(process.poll())
        self.set_pending("", 0)
        self.assertEqual(process.wait(30), 0)
        self.assertEqual(self.calls("CloseNotification"), [[notification]])

    def test_closes_its_notification_when_stopped(self):
        for sent in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            with self.subTest(signal=sent):
                self.forget_notes()
                self.set_pending("poweroff", now_usec() + 3600 * SECOND)
                process = self.start()
                _, notification = self.next_notice(1)
                process.send_signal(sent)
                self.assertEqual(process.wait(30), 0)
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


# logind back after a restart, with the schedule it read from its file before it answers.
RESTARTED_LOGIND = """
import dbus
from dbusmock.templates.logind import BUS_NAME, MAIN_OBJ, MAIN_IFACE, SYSTEM_BUS, load as base
def load(mock, parameters):
    base(mock, parameters)
    mock.props[MAIN_IFACE]["ScheduledShutdown"] = dbus.Struct(
        (parameters["kind"], dbus.UInt64(parameters["usec"])), signature="st")
"""


class LogindRestart(NotificationsHarness):
    def test_a_new_logind_is_read_at_once(self):
        template = os.path.join(os.environ["KORVANE_PRIVATE_BUS_DIR"], "restarted_logind.py")
        with open(template, "w", encoding="utf-8") as file:
            file.write(RESTARTED_LOGIND)
        moment = now_usec() + 3600 * SECOND
        self.set_pending("poweroff", moment)
        self.start()
        _, first = self.next_notice(1)
        for count, (kind, usec) in enumerate([("reboot", moment + 7200 * SECOND), ("", 0)], 2):
            with self.subTest(kind=kind):
                self.mock("system", LOGIN1, "/org/freedesktop/login1", "--template", template,
                          "--parameters", json.dumps({"kind": kind, "usec": usec}))
                if kind:
                    arguments, first = self.next_notice(count)
                    self.check_notice(arguments, f"计算机将于 {clock_text(usec)} 重新启动", 1)
                else:
                    wait_for(lambda: len(self.calls("CloseNotification")) == 2, "the close")
                    self.assertEqual(self.calls("CloseNotification")[-1], [first])


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
        self.assertEqual(str(notifies[0][4]), f"计算机将于 {clock_text(moment)} 重新启动")
        self.assertIsNone(process.poll())
        self.assertEqual(len(self.error_lines()), 1, self.error_lines())
        self.assertEqual(self.logind_calls(), [])


class NoLogind(Harness):
    def test_ends_quietly(self):
        process = self.start()
        self.assertEqual(process.wait(30), 0)
        self.assertEqual(len(self.error_lines()), 1, self.error_lines())
        notes = dbus.Interface(
            self.session.get_object(NOTIFICATIONS, "/org/freedesktop/Notifications"), MOCK)
        self.assertEqual([m for _, m, _ in notes.GetCalls() if m == "Notify"], [])


if __name__ == "__main__":
    NOTIFIER = sys.argv[1]
    unittest.main(argv=[sys.argv[0]] + (sys.argv[2:] or ["NotifierTest"]), verbosity=2)
