#include "notifications.h"

#include "core/app_record.h"
#include "core/texts.h"
#include "text.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QStringList>
#include <QVariantMap>

#include <utility>

namespace korvane::notifier {

namespace {

const QString server = QStringLiteral("org.freedesktop.Notifications");
const QString serverPath = QStringLiteral("/org/freedesktop/Notifications");
const QString desktopEntry = QStringLiteral("org.example.Korvane");
// A server that hangs must not keep a stopped notifier alive for long.
constexpr int closeTimeoutMs = 5000;

QDBusMessage serverCall(const QString &method)
{
    return QDBusMessage::createMethodCall(server, serverPath, server, method);
}

uint notificationId(const QDBusMessage &reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return 0;
    return reply.arguments().first().toUInt();
}

} // namespace

Notifications::Notifications(const QDBusConnection &session, QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_serverWatcher(
          new QDBusServiceWatcher(server, session, QDBusServiceWatcher::WatchForOwnerChange, this))
{
    // A server that replaces another takes the name over without it ever being free; one that
    // the bus started for the first notification has it already.
    connect(m_serverWatcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
        [this](const QString &, const QString &, const QString &owner) {
            if (!owner.isEmpty() && owner != m_server)
                serverStarted();
        });
    // Qt's bus API takes these by slot name only.
    m_session.connect(server, serverPath, server, QStringLiteral("ActionInvoked"), this,
        SLOT(actionInvoked(uint, QString)));
    m_session.connect(server, serverPath, server, QStringLiteral("NotificationClosed"), this,
        SLOT(notificationClosed(uint, uint)));
}

void Notifications::show(const Message &message)
{
    m_message = message;
    if (m_notifying)
        m_notifyAgain = true;
    else
        notify();
}

void Notifications::close()
{
    m_message.reset();
    // One still being opened is closed once its id is known.
    if (m_id != 0 && !m_notifying)
        closeOnServer(m_id);
    m_id = 0;
}

void Notifications::closeBeforeEnd()
{
    m_message.reset();
    if (m_notifying) {
        m_notifying->waitForFinished();
        m_id = notificationId(m_notifying->reply());
    }
    if (m_id != 0)
        closeOnServer(m_id);
    m_id = 0;
    // A message still queued when the process ends is never sent; the bus keeps their order,
    // so the last close's answer means every one has gone out.
    if (m_closing)
        m_closing->waitForFinished();
}

void Notifications::actionInvoked(uint id, const QString &key)
{
    if (id != 0 && id == m_id)
        emit buttonPressed(key);
}

void Notifications::notificationClosed(uint id, uint)
{
    if (id == m_id)
        m_id = 0;
}

void Notifications::notify()
{
    const Message &message = *m_message;
    const QVariantMap hints { { QStringLiteral("urgency"),
                                  QVariant::fromValue(uchar(message.urgency)) },
        { QStringLiteral("desktop-entry"), desktopEntry } };
    QDBusMessage call = serverCall(QStringLiteral("Notify"));
    call << toQString(app::title) << m_id << desktopEntry << toQString(texts::notificationSummary)
         << toQString(message.body)
         << QStringList { cancelKey, toQString(texts::cancel), postponeKey,
                toQString(texts::postponeButton) }
         << hints
         // A critical one stays until the person closes it.
         << (message.urgency == Urgency::Critical ? 0 : -1);
    m_notifying = new QDBusPendingCallWatcher(m_session.asyncCall(call), this);
    connect(m_notifying, &QDBusPendingCallWatcher::finished, this, &Notifications::notifyAnswered);
}

void Notifications::notifyAnswered()
{
    const QDBusMessage reply = m_notifying->reply();
    std::exchange(m_notifying, nullptr)->deleteLater();
    const uint id = notificationId(reply);
    if (id != 0)
        m_server = reply.service();
    if (id == 0 && !std::exchange(m_serverMissingTold, true))
        tell(QStringLiteral("no notification server on the session bus (%1); warnings will "
                            "show once one starts")
                 .arg(reply.errorName()));
    if (!m_message) {
        if (id != 0)
            closeOnServer(id);
        m_id = 0;
        return;
    }
    m_id = id;
    if (std::exchange(m_notifyAgain, false))
        notify();
}

void Notifications::serverStarted()
{
    // The old server's id means nothing to the new one.
    m_id = 0;
    if (m_message)
        show(*m_message);
}

void Notifications::closeOnServer(uint id)
{
    QDBusMessage call = serverCall(QStringLiteral("CloseNotification"));
    call << id;
    m_closing = m_session.asyncCall(call, closeTimeoutMs);
}

} // namespace korvane::notifier
