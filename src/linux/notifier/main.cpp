// Korvane's desktop notifier for Linux: logind warns only on terminals, so this tells the
// person at the desktop about a pending power-off or restart, whoever scheduled it, and
// offers to cancel or postpone it.
#include "core/notifier_bus.h"
#include "notifier.h"
#include "text.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>

using korvane::notifier::leave;
using korvane::notifier::toQString;

int main(int argc, char *argv[])
{
    const int endSignals = korvane::notifier::holdEndSignals();
    const QCoreApplication application(argc, argv);

    // Both read DBUS_SESSION_BUS_ADDRESS and DBUS_SYSTEM_BUS_ADDRESS first.
    QDBusConnection session = QDBusConnection::sessionBus();
    if (!session.isConnected())
        leave(
            QStringLiteral("cannot reach the session bus: %1").arg(session.lastError().message()));
    // Without a system bus logind does not answer, and the notifier acts as for a missing one.
    const QDBusConnection system = QDBusConnection::systemBus();

    korvane::notifier::Notifier notifier(system, session, endSignals);
    // The object before the name: the call that started this one through the bus finds it.
    if (!session.registerObject(toQString(korvane::notifier_bus::path), &notifier,
            QDBusConnection::ExportScriptableSlots))
        leave();
    if (!notifier.start())
        leave();
    QCoreApplication::exec();
    leave();
}
