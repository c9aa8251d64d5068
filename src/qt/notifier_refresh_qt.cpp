#include "notifier_refresh_qt.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace korvane {

void refreshNotifier()
{
    const QDBusMessage call
        = QDBusMessage::createMethodCall(QStringLiteral("org.example.Korvane.Notifier"),
            QStringLiteral("/org/example/Korvane/Notifier"),
            QStringLiteral("org.example.Korvane.Notifier"), QStringLiteral("Refresh"));
    // send() marks a call as expecting no reply; nobody waits for one.
    QDBusConnection::sessionBus().send(call);
}

} // namespace korvane
