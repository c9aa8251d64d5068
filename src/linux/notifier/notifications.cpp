#include "notifications.h"

#include "core/app_record.h"
#include "core/texts.h"
#include "text.h"
#include "when_answered.h"

#include <QDBusMessage>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QStringList>
#include <QVariantMap>

#include <utility>

namespace korvane::notifier {

namespace {

const QString server = QStringLiteral("org.freedesktop.Notifications");
const QString serverPath = QStringLiteral("/org/freedesktop/Notifications");
const QString desktopEntry = QStringLiteral("org.example.Korvane");
// A server that hangs must not keep a stopped notifier alive for long; a slow one still
// gets to answer.
constexpr int serverTimeoutMs = 5000;

QDBusMessage serverCall(const QString &method)
{
    return QDBusMessage::createMethodCall(server, serverPath, server, method);
}

QDBusMessage notifyCall(const Message &message, uint replaces)
{
    const QVariantMap hints { { QStringLiteral("urgency"),
                                  QVariant::fromValue(uchar(message.urgency)) },
        { QStringLiteral("desktop-entry"), desktopEntry } };
    QDBusMessage call = serverCall(QStringLiteral("Notify"));
    call << toQString(app::title) << replaces << desktopEntry
         << toQString(texts::notificationSummary) << toQString(message.body)
         << QStringList { cancelKey, toQString(texts::cancel), postponeKey,
                toQString(texts::postponeButton) }
         << hints
         // A critical one stays until the person closes it.
         << (message.urgency == Urgency::Critical ? 0 : -1);
    return call;
}

QDBusMessage closeCall(uint id)
{
    QDBusMessage call = serverCall(QStringLiteral("CloseNotification"));
    call << id;
    return call;
}

} // namespace

Notifications::Notifications(const QDBusConnection &session, QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_serverWatcher(
          new QDBusServiceWatcher(server, session, QDBusServiceWatcher::WatchForOwnerChange, this))
{
    // A server that replaces another takes the name over without it ever being free.
    connect(m_serverWatcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
        [this](const QString &, const QString &, const QString &owner) {
            if (!owner.isEmpty())
                serverStarted(owner);
        });
    // Qt's bus API takes these by slot name only.
    m_session.connect(server, serverPath, server, QStringLiteral("ActionInvoked"), this,
        SLOT(actionInvoked(uint, QString)));
    m_session.connect(server, serverPath, server, QStringLiteral("NotificationClosed"), this,
        SLOT(notificationClosed(uint, uint)));
}

void Notifications::show(const Message &message)
{
    m_wanted = message;
    m_refused = false;
    reconcile();
}

void Notifications::close()
{
    m_wanted.reset();
    reconcile();
}

void Notifications::closeBeforeEnd()
{
    m_wanted.reset();
    // Taken out of flight first: its watcher's late word, if any, finds nothing to change.
    if (const std::optional<Call> call = std::exchange(m_inFlight, std::nullopt)) {
        QDBusPendingCall answer = call->answer;
        answer.waitForFinished();
        take(*call);
    }
    if (m_shown)
        m_session.call(
            closeCall(std::exchange(m_shown, std::nullopt)->id), QDBus::Block, serverTimeoutMs);
}

void Notifications::actionInvoked(uint id, const QString &key)
{
    if (m_shown && id == m_shown->id)
        emit buttonPressed(key);
}

void Notifications::notificationClosed(uint id, uint)
{
    if (!m_shown || id != m_shown->id)
        return;
    m_shown.reset();
    // The person closed it: not shown again until there is something new to say. With a call
    // in flight the close is the server's answer to an older word, which that call settles.
    if (!m_inFlight)
        m_wanted.reset();
}

void Notifications::serverStarted(const QString &owner)
{
    // One that the bus started for the first notification holds it already.
    if (m_shown && m_shown->server == owner)
        return;
    // The old server's id means nothing to the new one.
    m_shown.reset();
    m_refused = false;
    reconcile();
}

void Notifications::reconcile()
{
    if (m_inFlight)
        return;
    if (m_wanted && !m_refused && (!m_shown || m_shown->message != *m_wanted))
        send(notifyCall(*m_wanted, m_shown ? m_shown->id : 0), m_wanted);
    else if (!m_wanted && m_shown)
        send(closeCall(m_shown->id), std::nullopt);
}

void Notifications::send(const QDBusMessage &call, const std::optional<Message> &message)
{
    m_inFlight = Call { m_session.asyncCall(call, serverTimeoutMs), message, ++m_sent };
    whenAnswered(m_inFlight->answer, this, [this, number = m_sent](const QDBusPendingCall &) {
        if (!m_inFlight || m_inFlight->number != number)
            return;
        take(*std::exchange(m_inFlight, std::nullopt));
        reconcile();
    });
}

void Notifications::take(const Call &call)
{
    if (!call.message) {
        // Gone, or gone with its server.
        m_shown.reset();
        return;
    }
    const QDBusPendingReply<uint> id = call.answer;
    if (id.isValid() && id.value() != 0) {
        m_shown = Shown { id.value(), id.reply().service(), *call.message };
        return;
    }
    m_refused = true;
    if (!std::exchange(m_serverMissingTold, true))
        tell(QStringLiteral("no notification server on the session bus (%1); warnings will "
                            "show once one starts")
                 .arg(id.error().name()));
}

} // namespace korvane::notifier
