#include "notifications.h"

#include "core/app_record.h"
#include "core/texts.h"
#include "linux/logind/tell.h"
#include "text.h"
#include "when_answered.h"

#include <QDBusMessage>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>

#include <chrono>
#include <utility>

namespace korvane::notifier {

namespace {

// The name a server holds; each one is known by its unique name.
const QString serverName = QStringLiteral("org.freedesktop.Notifications");
const QString serverPath = QStringLiteral("/org/freedesktop/Notifications");
const QString desktopEntry = QStringLiteral("org.example.Korvane");
// A server that hangs must not keep a stopped notifier alive for long; a slow one still
// gets to answer.
constexpr int serverTimeoutMs = 5000;
// A desktop shell busy at login may answer its first Notify late, or not at all: tried again
// a few seconds later, and a handful of times, so that a server that refuses everything
// costs nothing.
constexpr std::chrono::seconds retryWait { 3 };
constexpr int tries = 4;

// To the server by its unique name where that is known: only that one holds the notification,
// and the bus must start no other for it. Else to the name, for which the bus may start one.
QDBusMessage serverCall(const QString &method, const QString &destination)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        destination.isEmpty() ? serverName : destination, serverPath, serverName, method);
    call.setAutoStartService(destination.isEmpty());
    return call;
}

QDBusMessage notifyCall(const Message &message, uint replaces, const QString &destination)
{
    const QVariantMap hints { { QStringLiteral("urgency"),
                                  QVariant::fromValue(uchar(message.urgency)) },
        { QStringLiteral("desktop-entry"), desktopEntry } };
    QDBusMessage call = serverCall(QStringLiteral("Notify"), destination);
    call << toQString(app::title) << replaces << desktopEntry
         << toQString(texts::notificationSummary) << toQString(message.body)
         << QStringList { cancelKey, toQString(texts::cancel), postponeKey,
                toQString(texts::postponeButton) }
         << hints
         // A critical one stays until the person closes it.
         << (message.urgency == Urgency::Critical ? 0 : -1);
    return call;
}

QDBusMessage closeCall(uint id, const QString &holder)
{
    QDBusMessage call = serverCall(QStringLiteral("CloseNotification"), holder);
    call << id;
    return call;
}

} // namespace

Notifications::Notifications(const QDBusConnection &session, QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_serverWatcher(new QDBusServiceWatcher(
          serverName, session, QDBusServiceWatcher::WatchForOwnerChange, this))
    , m_retry(new QTimer(this))
{
    // A server that replaces another takes the name over without it ever being free.
    connect(m_serverWatcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
        [this](const QString &, const QString &, const QString &owner) { serverChanged(owner); });
    m_retry->setSingleShot(true);
    m_retry->setInterval(retryWait);
    connect(m_retry, &QTimer::timeout, this, &Notifications::reconcile);
    // Qt's bus API takes these by slot name only.
    m_session.connect(serverName, serverPath, serverName, QStringLiteral("ActionInvoked"), this,
        SLOT(actionInvoked(uint, QString)));
    m_session.connect(serverName, serverPath, serverName, QStringLiteral("NotificationClosed"),
        this, SLOT(notificationClosed(uint, uint)));
}

void Notifications::want(const std::optional<Message> &message)
{
    if (message == m_wanted)
        return;
    m_wanted = message;
    m_failures = 0;
    m_retry->stop();
    reconcile();
}

void Notifications::closeBeforeEnd()
{
    m_wanted.reset();
    m_retry->stop();
    if (const std::optional<Call> call = std::exchange(m_inFlight, std::nullopt)) {
        // Waited for here, with its watcher gone first: a watcher delivers its answer inside
        // a wait of its own, into code that is ending.
        QDBusPendingCall answer = *call->answer;
        delete call->answer;
        answer.waitForFinished();
        take(call->message, answer);
    }
    if (const std::optional<Shown> shown = std::exchange(m_shown, std::nullopt))
        m_session.call(closeCall(shown->id, shown->server), QDBus::Block, serverTimeoutMs);
}

void Notifications::actionInvoked(uint id, const QString &key)
{
    if (m_shown && id == m_shown->id)
        emit buttonPressed(key);
}

void Notifications::notificationClosed(uint id, uint)
{
    if (m_shown && id == m_shown->id)
        emit closed(std::exchange(m_shown, std::nullopt)->message);
}

void Notifications::serverChanged(const QString &owner)
{
    m_server = owner;
    if (owner.isEmpty()) {
        m_serverLeft = true;
        // Its notifications went with it.
        m_shown.reset();
    }
    m_failures = 0;
    m_retry->stop();
    reconcile();
}

void Notifications::reconcile()
{
    if (m_inFlight)
        return;
    // What a server shows that no longer holds the name, it shows for nobody.
    if (m_shown && (m_shown->server != m_server || !m_wanted))
        send(closeCall(m_shown->id, m_shown->server), std::nullopt);
    else if (m_wanted && (!m_shown || m_shown->message != *m_wanted) && mayNotify())
        send(notifyCall(*m_wanted, m_shown ? m_shown->id : 0, m_server), m_wanted);
}

// Not while a try again waits, nor after the last; nor while no server holds the name once
// one has gone.
bool Notifications::mayNotify() const
{
    return m_failures < tries && !m_retry->isActive() && !(m_server.isEmpty() && m_serverLeft);
}

void Notifications::send(const QDBusMessage &call, const std::optional<Message> &message)
{
    m_inFlight = Call { whenAnswered(m_session.asyncCall(call, serverTimeoutMs), this,
                            [this](const QDBusPendingCall &answer) { answered(answer); }),
        message };
}

void Notifications::answered(const QDBusPendingCall &answer)
{
    take(std::exchange(m_inFlight, std::nullopt)->message, answer);
    reconcile();
}

void Notifications::take(const std::optional<Message> &sent, const QDBusPendingCall &answer)
{
    if (!sent) {
        // Gone, or gone with its server.
        m_shown.reset();
        return;
    }
    const QDBusPendingReply<uint> id = answer;
    if (id.isValid() && id.value() != 0) {
        const QString holder = id.reply().service();
        // The first answer names the server, or the one the bus started for it; a change of
        // owner since then has named it already.
        if (m_server.isEmpty() && !m_serverLeft)
            m_server = holder;
        m_shown = Shown { id.value(), holder, *sent };
        return;
    }
    if (++m_failures < tries)
        m_retry->start();
    if (!std::exchange(m_serverMissingTold, true))
        tell(QStringLiteral("no notification server took the warning (%1); it is tried again "
                            "shortly and whenever a server starts")
                 .arg(id.error().name()));
}

} // namespace korvane::notifier
