#include "user_manager.h"

#include "when_answered.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace korvane::notifier {

namespace {

const QString service = QStringLiteral("org.freedesktop.systemd1");
const QString pathUnit = QStringLiteral("org.example.Korvane.Notifier.path");
// The question decides nothing urgent: without an answer by then the notifier stays.
constexpr int timeoutMs = 2000;

} // namespace

UserManager::UserManager(const QDBusConnection &session, QObject *parent)
    : QObject(parent)
    , m_session(session)
{
}

void UserManager::ask()
{
    QDBusMessage getUnit
        = QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/systemd1"),
            QStringLiteral("org.freedesktop.systemd1.Manager"), QStringLiteral("GetUnit"));
    getUnit << pathUnit;
    call(getUnit, &UserManager::unitFound);
}

void UserManager::call(QDBusMessage call, void (UserManager::*answered)(const QDBusPendingCall &))
{
    // A session without a user manager must not have the bus try to start one.
    call.setAutoStartService(false);
    whenAnswered(m_session.asyncCall(call, timeoutMs), this,
        [this, answered](const QDBusPendingCall &answer) { (this->*answered)(answer); });
}

void UserManager::unitFound(const QDBusPendingCall &answer)
{
    const QDBusPendingReply<QDBusObjectPath> unit = answer;
    if (!unit.isValid())
        return emit answered(false);
    QDBusMessage get = QDBusMessage::createMethodCall(service, unit.value().path(),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.freedesktop.systemd1.Unit") << QStringLiteral("ActiveState");
    call(get, &UserManager::unitStateRead);
}

void UserManager::unitStateRead(const QDBusPendingCall &answer)
{
    const QDBusPendingReply<QDBusVariant> state = answer;
    emit answered(
        state.isValid() && state.value().variant().toString() == QStringLiteral("active"));
}

} // namespace korvane::notifier
