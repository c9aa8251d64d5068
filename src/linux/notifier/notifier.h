#pragma once

#include "alert_plan.h"
#include "linux/logind/logind.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <optional>

class QDBusMessage;
class QDBusPendingCallWatcher;
class QDBusServiceWatcher;
class QFileSystemWatcher;
class QSocketNotifier;
class QTimer;

namespace korvane::notifier {

class Notifications;

// Straight out, status 0: with Qt 6.4 the bus thread can still be busy while the type
// registry is torn down, and its warnings would break the one-line message.
[[noreturn]] void leave(const QString &line = {});
// SIGTERM, SIGINT and SIGHUP wait for the event loop instead of ending the process at once,
// so that it can close its notification: a descriptor to read them from, or -1 with the
// signals left as they were. Call first, before any thread starts.
[[nodiscard]] int holdEndSignals();

// Shows the notice and the warnings for whatever power-off or restart logind has pending,
// and carries out the notification's buttons. Where a user manager starts it on demand, it
// ends as soon as there is nothing left to say.
class Notifier : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.example.Korvane.Notifier")

public:
    Notifier(const QDBusConnection &system, const QDBusConnection &session, int endSignals);

    // The first answer decides whether there is a logind to watch at all.
    [[nodiscard]] bool start();

public slots:
    // Asked for by Korvane's window after a schedule: look again now.
    Q_SCRIPTABLE void Refresh() { readSchedule(); }

private slots:
    void propertiesChanged(
        const QString &interface, const QVariantMap &changed, const QStringList &invalidated);
    void busGone();

private:
    void askUserManager();
    void callUserManager(QDBusMessage call, void (Notifier::*answered)(QDBusPendingCallWatcher *));
    void unitFound(QDBusPendingCallWatcher *watcher);
    void unitStateRead(QDBusPendingCallWatcher *watcher);
    void readSchedule();
    void scheduleRead(QDBusPendingCallWatcher *watcher);
    void takeSchedule(const logind::ScheduledShutdown &schedule);
    void showDueAlert();
    void buttonPressed(const QString &key);
    void callLogind(const QDBusMessage &call, const Message &refusal);
    void watchScheduleFolder();
    void quitIfIdle();
    void closeAndQuit();

    QDBusConnection m_system;
    QDBusConnection m_session;
    Notifications *const m_notifications;
    QTimer *const m_timer;
    QFileSystemWatcher *const m_folderWatcher;
    QDBusServiceWatcher *const m_logindWatcher;
    QSocketNotifier *m_endSignals = nullptr;
    logind::ScheduledShutdown m_schedule;
    std::optional<AlertPlan> m_plan;
    bool m_onDemand = false;
    bool m_reading = false;
    bool m_readAgain = false;
};

} // namespace korvane::notifier
