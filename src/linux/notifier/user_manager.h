#pragma once

#include <QDBusConnection>
#include <QObject>

class QDBusMessage;
class QDBusPendingCall;

namespace korvane::notifier {

// Asks the session's user manager whether the notifier runs on demand: where its path unit
// watches logind's schedule file, the unit starts the notifier again the moment there is
// something to say, so it may end once there is nothing.
class UserManager : public QObject {
    Q_OBJECT

public:
    explicit UserManager(const QDBusConnection &session, QObject *parent = nullptr);

    void ask();

signals:
    // false for any answer but an active path unit, and for none in time.
    void answered(bool onDemand);

private:
    void call(QDBusMessage call, void (UserManager::*answered)(const QDBusPendingCall &));
    void unitFound(const QDBusPendingCall &answer);
    void unitStateRead(const QDBusPendingCall &answer);

    QDBusConnection m_session;
};

} // namespace korvane::notifier
