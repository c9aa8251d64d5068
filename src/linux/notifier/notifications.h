#pragma once

#include "alert_plan.h"

#include <QDBusConnection>
#include <QDBusPendingCall>
#include <QLatin1String>
#include <QObject>
#include <QString>

#include <optional>

class QDBusServiceWatcher;

namespace korvane::notifier {

// The notification's buttons, by the keys the server reports them with.
inline constexpr QLatin1String cancelKey { "cancel" };
inline constexpr QLatin1String postponeKey { "postpone" };

// Korvane's one notification on the desktop, through org.freedesktop.Notifications on the
// session bus. It holds the message wanted on screen against the one the server has shown,
// and brings the two together one call at a time: a Notify sent before the last one's id is
// known would open a second notification instead of replacing the first. A server that
// takes over (the desktop's restarted) is shown the wanted message again.
class Notifications : public QObject {
    Q_OBJECT

public:
    explicit Notifications(const QDBusConnection &session, QObject *parent = nullptr);

    // Replaces whatever is on screen.
    void show(const Message &message);
    void close();
    // A notification's buttons die with the process that sent it, so it goes first. The
    // event loop will not run again: this waits for the call in flight, then for the close.
    void closeBeforeEnd();

signals:
    // A button of the notification on screen, by its key.
    void buttonPressed(const QString &key);

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
        QDBusPendingCall answer;
        // What a Notify carries; nullopt for a close.
        std::optional<Message> message;
        unsigned number = 0;
    };

    void serverStarted(const QString &owner);
    void reconcile();
    void send(const QDBusMessage &call, const std::optional<Message> &message);
    void take(const Call &call);

    QDBusConnection m_session;
    QDBusServiceWatcher *const m_serverWatcher;
    std::optional<Message> m_wanted;
    std::optional<Shown> m_shown;
    std::optional<Call> m_inFlight;
    unsigned m_sent = 0;
    // The server did not take the wanted message: tried again for a new one or a new server.
    bool m_refused = false;
    bool m_serverMissingTold = false;
};

} // namespace korvane::notifier
