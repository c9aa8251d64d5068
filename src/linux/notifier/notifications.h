#pragma once

#include "alert_plan.h"

#include <QDBusConnection>
#include <QLatin1String>
#include <QObject>
#include <QString>

#include <optional>

class QDBusMessage;
class QDBusPendingCall;
class QDBusPendingCallWatcher;
class QDBusServiceWatcher;
class QTimer;

namespace korvane::notifier {

// The notification's buttons, by the keys the server reports them with.
inline constexpr QLatin1String cancelKey { "cancel" };
inline constexpr QLatin1String postponeKey { "postpone" };

// Korvane's one notification on the desktop, through org.freedesktop.Notifications on the
// session bus. It holds the message wanted on screen against the one a server shows, and
// reconciles the two one call at a time: a Notify sent before the last one's id is known
// would open a second notification instead of replacing the first. Whichever server holds
// the name is the one that shows it: a server that takes over is shown the wanted message,
// and what the one before showed is closed there.
class Notifications : public QObject {
    Q_OBJECT

public:
    explicit Notifications(const QDBusConnection &session, QObject *parent = nullptr);

    // From now on; nullopt for nothing. A new message replaces the one on screen in place.
    void want(const std::optional<Message> &message);
    // A notification's buttons die with the process that sent it, so it goes first. The
    // event loop will not run again: this waits for the call in flight, then for the close.
    void closeBeforeEnd();

signals:
    // A button of the notification on screen, by its key.
    void buttonPressed(const QString &key);
    // The server closed the notification with message on it: the person did, or it expired.
    void closed(const Message &message);

private slots:
    void actionInvoked(uint id, const QString &key);
    void notificationClosed(uint id, uint reason);

private:
    struct Shown {
        uint id = 0;
        // The unique name of the server that holds it.
        QString server;
        Message message;
    };
    struct Call {
        QDBusPendingCallWatcher *answer = nullptr;
        // What a Notify carries; nullopt for a close.
        std::optional<Message> message;
    };

    void serverChanged(const QString &owner);
    void reconcile();
    [[nodiscard]] bool mayNotify() const;
    void send(const QDBusMessage &call, const std::optional<Message> &message);
    void answered(const QDBusPendingCall &answer);
    void take(const std::optional<Message> &sent, const QDBusPendingCall &answer);

    QDBusConnection m_session;
    QDBusServiceWatcher *const m_serverWatcher;
    QTimer *const m_retry;
    // The unique name that holds the server's name now; empty while none does or none has
    // answered yet.
    QString m_server;
    // Once a server has gone, a Notify waits for the next one rather than have the bus start
    // another installed daemon: at logout it would start one just to show a warning.
    bool m_serverLeft = false;
    std::optional<Message> m_wanted;
    std::optional<Shown> m_shown;
    std::optional<Call> m_inFlight;
    // Notifies of the wanted message that the server has not taken.
    int m_failures = 0;
    bool m_serverMissingTold = false;
};

} // namespace korvane::notifier
