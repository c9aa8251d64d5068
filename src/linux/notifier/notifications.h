#pragma once

#include "alert_plan.h"

#include <QDBusConnection>
#include <QDBusPendingCall>
#include <QLatin1String>
#include <QObject>
#include <QString>

#include <optional>

class QDBusPendingCallWatcher;
class QDBusServiceWatcher;

namespace korvane::notifier {

// The notification's buttons, by the keys the server reports them with.
inline constexpr QLatin1String cancelKey { "cancel" };
inline constexpr QLatin1String postponeKey { "postpone" };

// Korvane's one notification on the desktop, through org.freedesktop.Notifications on the
// session bus. A new message replaces the one on screen; a server that takes over (the
// desktop's restarted) is shown the current one again.
class Notifications : public QObject {
    Q_OBJECT

public:
    explicit Notifications(const QDBusConnection &session, QObject *parent = nullptr);

    void show(const Message &message);
    void close();
    // A notification's buttons die with the process that sent it, so it goes first; this
    // waits for the server, as the event loop will not run again.
    void closeBeforeEnd();

signals:
    // A button of the notification on screen, by its key.
    void buttonPressed(const QString &key);

private slots:
    void actionInvoked(uint id, const QString &key);
    void notificationClosed(uint id, uint reason);

private:
    void notify();
    void notifyAnswered();
    void serverStarted();
    void closeOnServer(uint id);

    QDBusConnection m_session;
    QDBusServiceWatcher *const m_serverWatcher;
    // What is on screen, or is to be once a server answers.
    std::optional<Message> m_message;
    uint m_id = 0;
    std::optional<QDBusPendingCall> m_closing;
    // The unique name of the server that holds it.
    QString m_server;
    // One Notify at a time: a second sent before the first's id is known would open a
    // second notification instead of replacing the first.
    QDBusPendingCallWatcher *m_notifying = nullptr;
    bool m_notifyAgain = false;
    bool m_serverMissingTold = false;
};

} // namespace korvane::notifier
