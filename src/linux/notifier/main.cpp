// Korvane's desktop notifier for Linux: logind warns only on terminals, so this tells the
// person at the desktop about a pending power-off or restart, whoever scheduled it, and
// offers to cancel or postpone it.
#include "core/app_record.h"
#include "core/notifier_bus.h"
#include "core/texts.h"
#include "warning_plan.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QDir>
#include <QFileSystemWatcher>
#include <QTimer>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>

namespace korvane::notifier {

namespace {

const QString login1 = QStringLiteral("org.freedesktop.login1");
const QString login1Path = QStringLiteral("/org/freedesktop/login1");
const QString login1Manager = QStringLiteral("org.freedesktop.login1.Manager");
const QString properties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString scheduledShutdown = QStringLiteral("ScheduledShutdown");
const QString notifications = QStringLiteral("org.freedesktop.Notifications");
const QString notificationsPath = QStringLiteral("/org/freedesktop/Notifications");
const QString cancelKey = QStringLiteral("cancel");
const QString postponeKey = QStringLiteral("postpone");
// logind writes its schedule there; systemd 252 announces it nowhere else.
const QString runSystemd = QStringLiteral("/run/systemd");
const QString runShutdown = QStringLiteral("/run/systemd/shutdown");

// While something is pending the property is read again this often: a timer runs on the
// monotonic clock, which stands still while the machine sleeps, and systemd 252 sends no
// signal when the schedule changes.
constexpr std::int64_t rereadUsec = 60 * usecPerSecond;
// Long enough for a person to answer a polkit password prompt.
constexpr int interactiveTimeoutMs = 120000;

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

const QString serviceName = toQString(notifier_bus::service);
const QString servicePath = toQString(notifier_bus::path);

void tell(const QString &line)
{
    std::fprintf(stderr, "notifier: %s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

std::int64_t realtimeUsec()
{
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    return std::int64_t(now.tv_sec) * usecPerSecond + now.tv_nsec / 1000;
}

LocalTime localTime(std::int64_t usec)
{
    const time_t seconds = time_t(usec / usecPerSecond);
    tm parts {};
    localtime_r(&seconds, &parts);
    return { parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min };
}

struct Pending {
    QString type;
    std::int64_t usec = 0;

    bool operator==(const Pending &) const = default;
};

// The property's (st), or nullopt when the answer has some other shape.
std::optional<Pending> readPending(const QDBusMessage &reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
        return std::nullopt;
    const QVariant value = reply.arguments().first().value<QDBusVariant>().variant();
    if (value.userType() != qMetaTypeId<QDBusArgument>())
        return std::nullopt;
    const QDBusArgument structure = value.value<QDBusArgument>();
    if (structure.currentSignature() != QStringLiteral("(st)"))
        return std::nullopt;
    Pending pending;
    qulonglong usec = 0;
    structure.beginStructure();
    structure >> pending.type >> usec;
    structure.endStructure();
    pending.usec = std::int64_t(std::min<qulonglong>(usec, qulonglong(INT64_MAX)));
    return pending;
}

QDBusMessage managerCall(const QString &method)
{
    QDBusMessage call = QDBusMessage::createMethodCall(login1, login1Path, login1Manager, method);
    call.setInteractiveAuthorizationAllowed(true);
    return call;
}

QDBusMessage propertyRead()
{
    QDBusMessage call
        = QDBusMessage::createMethodCall(login1, login1Path, properties, QStringLiteral("Get"));
    call << login1Manager << scheduledShutdown;
    return call;
}

} // namespace

// moc takes the interface and the method by their literal names only; these keep them what
// the window calls.
static_assert(notifier_bus::interface == "org.example.Korvane.Notifier");
static_assert(notifier_bus::refresh == "Refresh");

class Notifier : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.example.Korvane.Notifier")

public:
    Notifier(const QDBusConnection &system, const QDBusConnection &session)
        : m_system(system)
        , m_session(session)
        , m_timer(new QTimer(this))
        , m_files(new QFileSystemWatcher(this))
        , m_server(new QDBusServiceWatcher(
              notifications, session, QDBusServiceWatcher::WatchForRegistration, this))
    {
        // Never early: a warning is shown only once its moment has come.
        m_timer->setTimerType(Qt::PreciseTimer);
        m_timer->setSingleShot(true);
        connect(m_timer, &QTimer::timeout, this, &Notifier::read);
        connect(m_files, &QFileSystemWatcher::directoryChanged, this, &Notifier::filesChanged);
        connect(m_server, &QDBusServiceWatcher::serviceRegistered, this, &Notifier::showAgain);
        watchFiles();
    }

    // The first answer decides whether there is a logind to watch at all.
    [[nodiscard]] bool start()
    {
        const QDBusMessage reply = m_system.call(propertyRead(), QDBus::Block, 25000);
        const std::optional<Pending> pending = readPending(reply);
        if (!pending) {
            tell(QStringLiteral("cannot read ScheduledShutdown from systemd-logind: %1")
                     .arg(reply.errorMessage()));
            return false;
        }
        // Qt's bus API takes these by slot name only.
        m_system.connect(login1, login1Path, properties, QStringLiteral("PropertiesChanged"), this,
            SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
        m_session.connect(notifications, notificationsPath, notifications,
            QStringLiteral("ActionInvoked"), this, SLOT(actionInvoked(uint, QString)));
        m_session.connect(notifications, notificationsPath, notifications,
            QStringLiteral("NotificationClosed"), this, SLOT(notificationClosed(uint, uint)));
        update(*pending);
        return true;
    }

public slots:
    // Asked for by Korvane's window after a schedule: look again now.
    Q_SCRIPTABLE void Refresh() { read(); }

private slots:
    void propertiesChanged(
        const QString &interface, const QVariantMap &changed, const QStringList &invalidated)
    {
        if (interface == login1Manager
            && (changed.contains(scheduledShutdown) || invalidated.contains(scheduledShutdown)))
            read();
    }

    void actionInvoked(uint id, const QString &key)
    {
        if (id == 0 || id != m_notification || !m_pending)
            return;
        if (key == cancelKey) {
            ask(managerCall(QStringLiteral("CancelScheduledShutdown")), cancelRefused());
        } else if (key == postponeKey) {
            QDBusMessage call = managerCall(QStringLiteral("ScheduleShutdown"));
            call << m_pending->type << qulonglong(m_pending->usec + postponeUsec);
            ask(call, postponeRefused(m_pending->type.toStdString()));
        }
    }

    void notificationClosed(uint id, uint)
    {
        if (id == m_notification)
            m_notification = 0;
    }

private:
    // Every hint ends here: only the property itself says what is pending.
    void read()
    {
        if (m_reading) {
            m_readAgain = true;
            return;
        }
        m_reading = true;
        auto *watcher = new QDBusPendingCallWatcher(m_system.asyncCall(propertyRead()), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, &Notifier::readDone);
    }

    void readDone(QDBusPendingCallWatcher *watcher)
    {
        watcher->deleteLater();
        m_reading = false;
        // A logind that did not answer changes nothing: the schedule, if any, still stands.
        if (const std::optional<Pending> pending = readPending(watcher->reply()))
            update(*pending);
        else if (m_pending)
            plan();
        if (std::exchange(m_readAgain, false))
            read();
    }

    void update(const Pending &pending)
    {
        const bool nothing = pending.type.isEmpty() || pending.usec == 0;
        if (!nothing && m_pending == pending) {
            plan();
            return;
        }
        // Gone or moved: the old moment's notification and warnings no longer apply.
        close();
        m_pending.reset();
        m_plan.reset();
        if (!nothing) {
            m_pending = pending;
            m_plan.emplace(pending.usec, realtimeUsec());
        }
        plan();
    }

    // Shows what has fallen due and sleeps until the next warning or re-read; with nothing
    // pending there is no timer at all.
    void plan()
    {
        if (!m_plan) {
            m_timer->stop();
            return;
        }
        const std::int64_t now = realtimeUsec();
        if (const std::optional<Warning> warning = m_plan->take(now)) {
            show(message(*warning, m_pending->type.toStdString(), localTime(m_pending->usec),
                localTime(now)));
        }
        const std::int64_t wake
            = std::min(m_plan->nextDueUsec().value_or(INT64_MAX), now + rereadUsec);
        const std::int64_t waitMs = std::max<std::int64_t>(0, (wake - now + 999) / 1000);
        m_timer->start(std::chrono::milliseconds(waitMs));
    }

    void show(const Message &shown)
    {
        m_shown = shown;
        QVariantMap hints { { QStringLiteral("urgency"),
                                QVariant::fromValue(uchar(shown.urgency)) },
            { QStringLiteral("desktop-entry"), QStringLiteral("org.example.Korvane") } };
        QDBusMessage call = QDBusMessage::createMethodCall(
            notifications, notificationsPath, notifications, QStringLiteral("Notify"));
        call << toQString(app::title) << m_notification << QStringLiteral("org.example.Korvane")
             << toQString(texts::notificationSummary) << toQString(shown.body)
             << QStringList { cancelKey, toQString(texts::cancel), postponeKey,
                    toQString(texts::postponeButton) }
             << hints
             // A critical one stays until the person closes it.
             << (shown.urgency == Urgency::Critical ? 0 : -1);
        auto *watcher = new QDBusPendingCallWatcher(m_session.asyncCall(call), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, &Notifier::shown);
    }

    void shown(QDBusPendingCallWatcher *watcher)
    {
        watcher->deleteLater();
        const QDBusMessage reply = watcher->reply();
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
            m_notification = reply.arguments().first().toUInt();
            return;
        }
        m_notification = 0;
        if (!std::exchange(m_serverMissingTold, true))
            tell(QStringLiteral("no notification server on the session bus (%1); warnings will "
                                "show once one starts")
                     .arg(reply.errorName()));
    }

    void showAgain()
    {
        if (m_pending && m_shown)
            show(*m_shown);
    }

    void close()
    {
        if (m_notification != 0) {
            QDBusMessage call = QDBusMessage::createMethodCall(notifications, notificationsPath,
                notifications, QStringLiteral("CloseNotification"));
            call << m_notification;
            m_session.send(call);
        }
        m_notification = 0;
        m_shown.reset();
    }

    // A button's request to logind; a refusal is shown, anything else is read back.
    void ask(const QDBusMessage &call, const Message &refused)
    {
        auto *watcher
            = new QDBusPendingCallWatcher(m_system.asyncCall(call, interactiveTimeoutMs), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, refused](QDBusPendingCallWatcher *done) { answered(done, refused); });
    }

    void answered(QDBusPendingCallWatcher *watcher, const Message &refused)
    {
        watcher->deleteLater();
        if (watcher->isError())
            show(refused);
        read();
    }

    void watchFiles()
    {
        const QString folder = QDir(runShutdown).exists() ? runShutdown : runSystemd;
        if (!m_files->directories().contains(folder) && QDir(folder).exists())
            m_files->addPath(folder);
        if (folder == runShutdown && m_files->directories().contains(runSystemd))
            m_files->removePath(runSystemd);
    }

    void filesChanged()
    {
        watchFiles();
        read();
    }

    QDBusConnection m_system;
    QDBusConnection m_session;
    QTimer *const m_timer;
    QFileSystemWatcher *const m_files;
    QDBusServiceWatcher *const m_server;
    std::optional<Pending> m_pending;
    std::optional<WarningPlan> m_plan;
    std::optional<Message> m_shown;
    uint m_notification = 0;
    bool m_reading = false;
    bool m_readAgain = false;
    bool m_serverMissingTold = false;
};

} // namespace korvane::notifier

namespace {

// Straight out, as the shutdown stand-in does: with Qt 6.4 the bus thread can still be busy
// while the type registry is torn down, and its warnings would break the one-line message.
[[noreturn]] void leave(const QString &line = {})
{
    if (!line.isEmpty())
        korvane::notifier::tell(line);
    std::fflush(stderr);
    std::_Exit(0);
}

} // namespace

int main(int argc, char *argv[])
{
    const QCoreApplication application(argc, argv);

    // Both read DBUS_SESSION_BUS_ADDRESS and DBUS_SYSTEM_BUS_ADDRESS first.
    QDBusConnection session = QDBusConnection::sessionBus();
    if (!session.isConnected())
        leave(
            QStringLiteral("cannot reach the session bus: %1").arg(session.lastError().message()));
    const QDBusConnection system = QDBusConnection::systemBus();

    korvane::notifier::Notifier notifier(system, session);
    // The object before the name: the call that started this one through the bus finds it.
    if (!session.registerObject(
            korvane::notifier::servicePath, &notifier, QDBusConnection::ExportScriptableSlots))
        leave();
    // One per session: a second copy leaves at once.
    if (!session.registerService(korvane::notifier::serviceName))
        leave();
    if (!system.isConnected())
        leave(QStringLiteral("cannot reach the system bus: %1").arg(system.lastError().message()));
    if (!notifier.start())
        leave();
    return QCoreApplication::exec();
}

#include "main.moc"
