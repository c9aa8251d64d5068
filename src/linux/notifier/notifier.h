#pragma once

#include "alert_plan.h"
#include "linux/logind/logind.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <optional>

class QTimer;

namespace korvane::notifier {

class ButtonRequests;
class Notifications;
class RealtimeAlarm;
class ScheduleWatch;
class UserManager;

// Shows the notice and the warnings for whatever power-off or restart logind has pending,
// and carries out the notification's buttons. One copy at a time shows anything: the one
// that holds the notifier's bus name; the others wait in line for it. Where a user manager
// starts it on demand, it ends a little while after there is nothing left to say.
class Notifier : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.example.Korvane.Notifier")

public:
    // endSignals: a descriptor that turns readable when the notifier is asked to end, or -1.
    Notifier(const QDBusConnection &system, const QDBusConnection &session, int endSignals);

    // Takes the bus name or joins the line for it; false where the bus allows neither.
    [[nodiscard]] bool start();

public slots:
    // Asked for by Korvane's window after a schedule: look again now.
    Q_SCRIPTABLE void Refresh();

private slots:
    void busGone();

private:
    enum class Mode { NotKnown, OnDemand, Resident };
    // What logind has pending, the alerts planned for it, and the word about it that is to be
    // on screen: the latest alert or refusal, until the person closes it.
    struct Pending {
        logind::ScheduledShutdown schedule;
        AlertPlan plan;
        std::optional<Message> word;
    };

    void take(const std::optional<logind::ScheduledShutdown> &schedule);
    void buttonPressed(const QString &key);
    void requestAnswered(const std::optional<Message> &refusal);
    void closedOnScreen(const Message &message);
    void reconcile();
    [[nodiscard]] bool mayEnd() const;
    void closeAndQuit();

    QDBusConnection m_system;
    QDBusConnection m_session;
    ScheduleWatch *const m_schedule;
    UserManager *const m_userManager;
    ButtonRequests *const m_requests;
    Notifications *const m_notifications;
    RealtimeAlarm *const m_alarm;
    QTimer *const m_linger;
    Mode m_mode = Mode::NotKnown;
    std::optional<Pending> m_pending;
};

} // namespace korvane::notifier
