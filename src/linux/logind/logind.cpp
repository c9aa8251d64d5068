#include "logind.h"

#include <QDBusArgument>
#include <QDBusVariant>
#include <QList>
#include <QVariant>

#include <algorithm>

namespace korvane::logind {

QDBusMessage managerCall(const QString &method)
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, manager, method);
    call.setInteractiveAuthorizationAllowed(true);
    return call;
}

QDBusMessage readScheduledShutdown()
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        service, path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    call << QString(manager) << QString(scheduledShutdownName);
    return call;
}

std::optional<ScheduledShutdown> scheduledShutdown(const QDBusMessage &reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
        return std::nullopt;
    const QVariant value = reply.arguments().first().value<QDBusVariant>().variant();
    if (value.userType() != qMetaTypeId<QDBusArgument>())
        return std::nullopt;
    const QDBusArgument structure = value.value<QDBusArgument>();
    if (structure.currentSignature() != QStringLiteral("(st)"))
        return std::nullopt;
    ScheduledShutdown schedule;
    qulonglong usec = 0;
    structure.beginStructure();
    structure >> schedule.type >> usec;
    structure.endStructure();
    schedule.usec = std::int64_t(std::min<qulonglong>(usec, qulonglong(INT64_MAX)));
    return schedule;
}

} // namespace korvane::logind
