#pragma once

#include "alert_plan.h"
#include "linux/logind/logind.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <optional>

class QDBusMessage;
class QDBusPendingCall;
class QDBusServiceWatcher;
class QFileSystemWatcher;
class QTimer;

namespace korvane::notifier {

class Notifications;
class RealtimeAlarm;

// Straight out, status 0: with Qt 6.4 the bus thread can still be busy while the type
// registry is torn down, and its warnings would break the one-line message.
[[noreturn]] void leave(const QString &line = {});
// SIGTERM, SIGINT and SIGHUP wait for the event loop instead of ending the process at once,
// so that it can close its notification: a descriptor to read them from, or -1 with the
// signals left as they were. Call first, before any thread starts.
[[nodiscard]] int holdEndSignals();

// Shows the notice and the warnings for whatever power-off or restart logind has pending,
// and carries out the notification's buttons. One copy at a time shows anything: the one
// that holds the notifier's bus name; the others wait in line for it. Where a user manager
// starts it on demand, it ends a little while after there is nothing left to say.
class Notifier : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.example.Korvane.Notifier")

public:
    Notifier(const QDBusConnection &system, const QDBusConnection &session, int endSignals);

    // Takes the bus name or joins the line for it; false where the bus allows neither.
    [[nodiscard]] bool start();

public slots:
    // Asked for by Korvane's window after a schedule: look again now.
    Q_SCRIPTABLE void Refresh() { readSchedule(); }

private slots:
    void propertiesChanged(
        const QString &interface, const QVariantMap &changed, const QStringList &invalidated);
    void prepareForSleep(bool sleeping);
    void busGone();

private:
    // Decided by the user manager's answer: on demand where its path unit watches logind's
    // schedule file and so starts the notifier again the moment there is something to say.
    enum class Mode { NotKnown, OnDemand, Resident };
    enum class Logind { NotAsked, Missing, Answered };
    struct Pending {
        logind::ScheduledShutdown schedule;
        AlertPlan plan;
    };

    void nameAcquired();
    void askUserManager();
    void callUserManager(QDBusMessage call, void (Notifier::*answered)(const QDBusPendingCall &));
    void unitFound(const QDBusPendingCall &answer);
    void unitStateRead(const QDBusPendingCall &answer);
    void readSchedule();
    void scheduleAnswered(const QDBusPendingCall &answer);
    void takeSchedule(const logind::ScheduledShutdown &schedule);
    void buttonPressed(const QString &key);
    void callLogind(const QDBusMessage &call, const Message &refusal);
    void watchScheduleFolder();
    void settle();
    [[nodiscard]] bool mayEnd() const;
    void closeAndQuit();

    QDBusConnection m_system;
    QDBusConnection m_session;
    Notifications *const m_notifications;
    RealtimeAlarm *const m_alarm;
    QTimer *const m_linger;
    QFileSystemWatcher *const m_folderWatcher;
    QDBusServiceWatcher *const m_logindWatcher;
    Mode m_mode = Mode::NotKnown;
    Logind m_logind = Logind::NotAsked;
    bool m_holdsName = false;
    std::optional<Pending> m_pending;
    bool m_reading = false;
    bool m_readAgain = false;
};

} // namespace korvane::notifier
