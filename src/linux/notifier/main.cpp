// Korvane's desktop notifier for Linux: logind warns only on terminals, so this tells the
// person at the desktop about a pending power-off or restart, whoever scheduled it, and
// offers to cancel or postpone it.
#include "core/notifier_bus.h"
#include "linux/logind/tell.h"
#include "notifier.h"
#include "text.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>

#include <signal.h>
#include <sys/signalfd.h>

namespace {

// SIGTERM, SIGINT and SIGHUP wait for the event loop instead of ending the process at once,
// so that it can close its notification: a descriptor to read them from, or -1 with the
// signals left as they were. Called first, before any thread starts.
int holdEndSignals()
{
    sigset_t set;
    sigemptyset(&set);
    for (const int ending : { SIGTERM, SIGINT, SIGHUP })
        sigaddset(&set, ending);
    if (sigprocmask(SIG_BLOCK, &set, nullptr) != 0)
        return -1;
    const int descriptor = signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
    if (descriptor < 0)
        sigprocmask(SIG_UNBLOCK, &set, nullptr);
    return descriptor;
}

} // namespace

int main(int argc, char *argv[])
{
    const int endSignals = holdEndSignals();
    const QCoreApplication application(argc, argv);

    // Both read DBUS_SESSION_BUS_ADDRESS and DBUS_SYSTEM_BUS_ADDRESS first.
    QDBusConnection session = QDBusConnection::sessionBus();
    if (!session.isConnected()) {
        korvane::tell(
            QStringLiteral("cannot reach the session bus: %1").arg(session.lastError().message()));
        korvane::leave(0);
    }
    // Without a system bus logind does not answer, and the notifier acts as for a missing one.
    const QDBusConnection system = QDBusConnection::systemBus();

    korvane::notifier::Notifier notifier(system, session, endSignals);
    // The object before the name: the call that started this one through the bus finds it.
    if (!session.registerObject(korvane::notifier::toQString(korvane::notifier_bus::path),
            &notifier, QDBusConnection::ExportScriptableSlots)
        || !notifier.start())
        korvane::leave(0);
    QCoreApplication::exec();
    korvane::leave(0);
}
