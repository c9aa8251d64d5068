"""The tests' logind: dbusmock's template with the scheduling methods and property, which
the tests replace at will. org.example.Test.Reset puts them back and forgets the calls;
SetQuietly changes the schedule without a signal, as systemd 252 does. The parameters
"kind" and "usec" give the schedule it starts with, as a restarted logind reads it."""

import dbus
from dbusmock.templates.logind import BUS_NAME, MAIN_IFACE, MAIN_OBJ, SYSTEM_BUS
from dbusmock.templates.logind import load as load_logind

__all__ = ["BUS_NAME", "MAIN_OBJ", "MAIN_IFACE", "SYSTEM_BUS", "load"]

TEST_IFACE = "org.example.Test"
SCHEDULE = "self.props['{0}']['ScheduledShutdown'] = dbus.Struct(({1}, dbus.UInt64({2})), " \
           "signature='st')"


def load(mock, parameters):
    load_logind(mock, parameters)
    mock.AddProperty(MAIN_IFACE, "ScheduledShutdown", dbus.Struct(
        (parameters.get("kind", ""), dbus.UInt64(parameters.get("usec", 0))), signature="st"))
    mock.AddMethod(TEST_IFACE, "SetQuietly", "st", "",
                   SCHEDULE.format(MAIN_IFACE, "args[0]", "args[1]"))
    methods = [(MAIN_IFACE, "ScheduleShutdown", "st", "", ""),
               (MAIN_IFACE, "CancelScheduledShutdown", "", "b", "ret = True")]
    mock.AddMethods(MAIN_IFACE, [method[1:] for method in methods])
    mock.AddMethod(TEST_IFACE, "Reset", "", "", "\n".join(
        [f"self.AddMethod{method!r}" for method in methods]
        + [SCHEDULE.format(MAIN_IFACE, "''", "0"), "self.ClearCalls()"]))
