#include "logind.h"

#include <QDBusArgument>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QVariant>

#include <algorithm>

namespace korvane::logind {

QDBusMessage managerCall(const QString &method)
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, manager, method);
    call.setInteractiveAuthorizationAllowed(true);
    return call;
}

QDBusPendingCall readScheduledShutdown(const QDBusConnection &system)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        service, path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    call << QString(manager) << QString(scheduledShutdownName);
    return system.asyncCall(call, propertyTimeoutMs);
}

std::optional<ScheduledShutdown> scheduledShutdown(const QDBusPendingCall &answer)
{
    const QDBusPendingReply<QDBusVariant> reply = answer;
    if (!reply.isValid())
        return std::nullopt;
    const QVariant value = reply.value().variant();
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
