#include "notifier_refresh_qt.h"

#include "core/notifier_bus.h"
#include "text_qt.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace korvane::qt {

void refreshNotifier()
{
    const QDBusMessage call = QDBusMessage::createMethodCall(toQString(notifier_bus::service),
        toQString(notifier_bus::path), toQString(notifier_bus::interface),
        toQString(notifier_bus::refresh));
    // send() marks a call as expecting no reply; nobody waits for one.
    QDBusConnection::sessionBus().send(call);
}

} // namespace korvane::qt
