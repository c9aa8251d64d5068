#include "button_requests.h"

#include "notifications.h"
#include "when_answered.h"

#include <QDBusMessage>
#include <QDBusPendingCall>

namespace korvane::notifier {

ButtonRequests::ButtonRequests(const QDBusConnection &system, QObject *parent)
    : QObject(parent)
    , m_system(system)
{
}

void ButtonRequests::press(const QString &key, const logind::ScheduledShutdown &schedule)
{
    if (m_asking)
        return;
    if (key == cancelKey) {
        send(logind::managerCall(QStringLiteral("CancelScheduledShutdown")), cancelFailed());
    } else if (key == postponeKey) {
        QDBusMessage call = logind::managerCall(QStringLiteral("ScheduleShutdown"));
        call << schedule.type << qulonglong(schedule.usec + postponeUsec);
        send(call, postponeRefused(schedule.type.toStdString()));
    }
}

void ButtonRequests::send(const QDBusMessage &call, const Message &refusal)
{
    m_asking = true;
    whenAnswered(m_system.asyncCall(call, logind::interactiveTimeoutMs), this,
        [this, refusal](const QDBusPendingCall &answer) {
            m_asking = false;
            emit answered(answer.isError() ? std::optional(refusal) : std::nullopt);
        });
}

} // namespace korvane::notifier
