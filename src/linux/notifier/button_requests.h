#pragma once

#include "alert_plan.h"
#include "linux/logind/logind.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <optional>

namespace korvane::notifier {

// Carries out the notification's buttons through logind, one request at a time: polkit may
// ask the person about a request for minutes, and a second press meanwhile would ask again,
// or race a cancel against a postpone.
class ButtonRequests : public QObject {
    Q_OBJECT

public:
    explicit ButtonRequests(const QDBusConnection &system, QObject *parent = nullptr);

    // For schedule, the one pending; nothing while an earlier request is unanswered.
    void press(const QString &key, const logind::ScheduledShutdown &schedule);

signals:
    // logind's answer is in; with what to tell the person where it refused.
    void answered(const std::optional<Message> &refusal);

private:
    void send(const QDBusMessage &call, const Message &refusal);

    QDBusConnection m_system;
    bool m_asking = false;
};

} // namespace korvane::notifier
