// Korvane's "shutdown" for Linux: carries out -s -t N, -r -t N and -a through systemd-logind,
// because the system's own shutdown takes -t and -a as ignored compatibility switches.
#include "core/shutdown_exit_codes.h"
#include "linux/logind/logind.h"
#include "linux/logind/tell.h"
#include "shutdown_arguments.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusReply>
#include <QLocale>

#include <cstdio>
#include <optional>
#include <string>

namespace {

using korvane::PowerAction;
using korvane::Request;
using korvane::RequestKind;

enum ExitCode {
    ExitOk = 0,
    ExitClock = 1,
    ExitUsage = 2,
    ExitNoBus = 3,
    ExitLogind = 4,
    // The window tells this one apart; it reads it from the same place.
    ExitNothingToCancel = korvane::helperExitCodes.nothingToCancel,
};

const char *const helpText
    = "usage: shutdown -s -t SECONDS | -r -t SECONDS | -a | --help\n"
      "\n"
      "  -s -t SECONDS  power off in SECONDS seconds\n"
      "  -r -t SECONDS  restart in SECONDS seconds\n"
      "  -a             cancel the scheduled power-off or restart\n"
      "\n"
      "SECONDS: decimal digits, with \".\" or the locale's decimal separator before a\n"
      "fraction, from 0 to 315360000. The request goes to systemd-logind on the system bus\n"
      "(DBUS_SYSTEM_BUS_ADDRESS, or the default system bus); polkit may ask for a password.\n"
      "\n"
      "exit status:\n"
      "  0  done\n"
      "  1  the moment is beyond what the clock can hold\n"
      "  2  the command line was refused; nothing was scheduled\n"
      "  3  the system bus could not be reached\n"
      "  4  logind is not there, did not answer, or refused (polkit included)\n"
      "  5  -a: nothing was scheduled\n";

int fail(int code, const QString &message)
{
    korvane::tell(message);
    return code;
}

QString cause(const QDBusError &error)
{
    // Sent when polkit would have to ask and nobody may be asked (no agent, or the flag off).
    if (error.name()
        == QStringLiteral("org.freedesktop.DBus.Error.InteractiveAuthorizationRequired"))
        return QStringLiteral("not authorized: polkit has no agent to ask for a password");
    switch (error.type()) {
    case QDBusError::ServiceUnknown:
        return QStringLiteral("systemd-logind is not on the system bus");
    case QDBusError::NoReply:
    case QDBusError::Timeout:
    case QDBusError::TimedOut:
        return QStringLiteral("systemd-logind did not answer within %1 s")
            .arg(korvane::logind::interactiveTimeoutMs / 1000);
    case QDBusError::AccessDenied:
        return QStringLiteral("not authorized by systemd-logind or polkit");
    default:
        return QStringLiteral("systemd-logind refused");
    }
}

int carryOut(QDBusConnection &bus, const Request &request)
{
    if (!bus.isConnected())
        return fail(ExitNoBus,
            QStringLiteral("cannot reach the system bus: %1").arg(bus.lastError().message()));

    QDBusMessage call;
    if (request.what == RequestKind::Cancel) {
        call = korvane::logind::managerCall(QStringLiteral("CancelScheduledShutdown"));
    } else {
        // Read the clock as late as possible, so the delay counts from the call.
        const std::optional<std::uint64_t> when
            = korvane::scheduleTimeUsec(korvane::logind::realtimeUsec(), request.delayUsec);
        if (!when)
            return fail(ExitClock, QStringLiteral("the clock is out of range"));
        call = korvane::logind::managerCall(QStringLiteral("ScheduleShutdown"));
        call << (request.action == PowerAction::Shutdown ? QStringLiteral("poweroff")
                                                         : QStringLiteral("reboot"))
             << qulonglong(*when);
    }

    const QDBusMessage reply = bus.call(call, QDBus::Block, korvane::logind::interactiveTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        const QDBusError error(reply);
        return fail(ExitLogind,
            QStringLiteral("%1 (%2: %3)").arg(cause(error), error.name(), error.message()));
    }
    if (request.what == RequestKind::Cancel) {
        const QDBusReply<bool> cancelled = reply;
        if (!cancelled.isValid())
            return fail(ExitLogind, QStringLiteral("unexpected answer from systemd-logind"));
        if (!cancelled.value())
            return fail(ExitNothingToCancel, QStringLiteral("nothing was scheduled"));
    }
    return ExitOk;
}

} // namespace

int main(int argc, char *argv[])
{
    // The window writes its delay with the user's decimal separator, so read it the same way.
    const std::string separator = QLocale::system().decimalPoint().toStdString();
    const auto parsed = korvane::parseShutdownArguments(argc, argv, separator);
    if (const auto *refusal = std::get_if<korvane::Refusal>(&parsed))
        return fail(ExitUsage, QString::fromStdString(refusal->message));

    const Request request = std::get<Request>(parsed);
    if (request.what == RequestKind::Help) {
        std::fputs(helpText, stdout);
        return ExitOk;
    }

    const QCoreApplication application(argc, argv);
    // SystemBus reads DBUS_SYSTEM_BUS_ADDRESS or takes the system's own socket; it never falls
    // back to a session bus.
    QDBusConnection bus = QDBusConnection::systemBus();
    korvane::leave(carryOut(bus, request));
}
