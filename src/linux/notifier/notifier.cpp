#include "notifier.h"

#include "core/notifier_bus.h"
#include "notifications.h"
#include "text.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSocketNotifier>
#include <QTimer>

#include <signal.h>
#include <sys/signalfd.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace korvane::notifier {

namespace {

// logind writes its schedule there; systemd 252 announces it nowhere else. The user
// manager's path unit starts the notifier while the file exists.
const QString runSystemd = QStringLiteral("/run/systemd");
const QString runShutdown = QStringLiteral("/run/systemd/shutdown");
const QString scheduleFile = QStringLiteral("/run/systemd/shutdown/scheduled");

const QString userManager = QStringLiteral("org.freedesktop.systemd1");
const QString pathUnit = QStringLiteral("org.example.Korvane.Notifier.path");
// The question decides nothing urgent: without an answer by then the notifier stays.
constexpr int userManagerTimeoutMs = 2000;

const QString properties = QStringLiteral("org.freedesktop.DBus.Properties");

// While something is pending the property is read again this often: a timer runs on the
// monotonic clock, which stands still while the machine sleeps, and systemd 252 sends no
// signal when the schedule changes.
constexpr std::int64_t rereadUsec = 60 * logind::usecPerSecond;

LocalTime localTime(std::int64_t usec)
{
    const time_t seconds = time_t(usec / logind::usecPerSecond);
    tm parts {};
    localtime_r(&seconds, &parts);
    return { parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min };
}

// The one value of an answer; an invalid one for an error or an answer of another shape.
QVariant onlyValue(const QDBusPendingCallWatcher *watcher)
{
    const QDBusMessage reply = watcher->reply();
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
        return {};
    return reply.arguments().first();
}

sigset_t endSignalSet()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

} // namespace

// moc takes the interface and the method by their literal names only; these keep them what
// the window calls.
static_assert(notifier_bus::interface == "org.example.Korvane.Notifier");
static_assert(notifier_bus::refresh == "Refresh");

void leave(const QString &line)
{
    if (!line.isEmpty())
        tell(line);
    std::fflush(stderr);
    std::_Exit(0);
}

int holdEndSignals()
{
    const sigset_t set = endSignalSet();
    if (sigprocmask(SIG_BLOCK, &set, nullptr) != 0)
        return -1;
    const int descriptor = signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
    if (descriptor < 0)
        sigprocmask(SIG_UNBLOCK, &set, nullptr);
    return descriptor;
}

Notifier::Notifier(const QDBusConnection &system, const QDBusConnection &session, int endSignals)
    : m_system(system)
    , m_session(session)
    , m_notifications(new Notifications(session, this))
    , m_timer(new QTimer(this))
    , m_folderWatcher(new QFileSystemWatcher(this))
    , m_logindWatcher(new QDBusServiceWatcher(
          logind::service, system, QDBusServiceWatcher::WatchForOwnerChange, this))
{
    // Never early: an alert is shown only once its moment has come.
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &Notifier::readSchedule);
    connect(m_folderWatcher, &QFileSystemWatcher::directoryChanged, this, [this] {
        watchScheduleFolder();
        readSchedule();
    });
    // A restarted logind reloads its schedule from its file and announces nothing.
    connect(m_logindWatcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
        [this](const QString &, const QString &, const QString &owner) {
            if (!owner.isEmpty())
                readSchedule();
        });
    connect(m_notifications, &Notifications::buttonPressed, this, &Notifier::buttonPressed);
    if (endSignals >= 0) {
        m_endSignals = new QSocketNotifier(endSignals, QSocketNotifier::Read, this);
        connect(m_endSignals, &QSocketNotifier::activated, this, &Notifier::closeAndQuit);
    }
    watchScheduleFolder();
}

bool Notifier::start()
{
    const QDBusMessage reply = m_system.call(logind::readScheduledShutdown(), QDBus::Block, 25000);
    const std::optional<logind::ScheduledShutdown> schedule = logind::scheduledShutdown(reply);
    if (!schedule) {
        tell(QStringLiteral("cannot read ScheduledShutdown from systemd-logind: %1")
                 .arg(reply.errorMessage()));
        return false;
    }
    // Qt's bus API takes these by slot name only.
    m_system.connect(logind::service, logind::path, properties, QStringLiteral("PropertiesChanged"),
        this, SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
    // libdbus's own word that a bus went away: nothing would ever reach the notifier again.
    for (QDBusConnection *bus : { &m_system, &m_session })
        bus->connect(QString(), QStringLiteral("/org/freedesktop/DBus/Local"),
            QStringLiteral("org.freedesktop.DBus.Local"), QStringLiteral("Disconnected"), this,
            SLOT(busGone()));
    // Gone before the watch began: its word is lost.
    if (!m_system.isConnected() || !m_session.isConnected())
        QTimer::singleShot(0, this, &Notifier::busGone);
    takeSchedule(*schedule);
    askUserManager();
    return true;
}

void Notifier::propertiesChanged(
    const QString &interface, const QVariantMap &changed, const QStringList &invalidated)
{
    if (interface == logind::manager
        && (changed.contains(logind::scheduledShutdownName)
            || invalidated.contains(logind::scheduledShutdownName)))
        readSchedule();
}

void Notifier::busGone()
{
    tell(QStringLiteral("a bus went away; ending"));
    closeAndQuit();
}

// On demand where the user manager's path unit watches the schedule file: it starts the
// notifier again the moment there is something to say.
void Notifier::askUserManager()
{
    QDBusMessage call
        = QDBusMessage::createMethodCall(userManager, QStringLiteral("/org/freedesktop/systemd1"),
            QStringLiteral("org.freedesktop.systemd1.Manager"), QStringLiteral("GetUnit"));
    call << pathUnit;
    callUserManager(call, &Notifier::unitFound);
}

void Notifier::callUserManager(
    QDBusMessage call, void (Notifier::*answered)(QDBusPendingCallWatcher *))
{
    // A session without a user manager must not have the bus try to start one.
    call.setAutoStartService(false);
    auto *watcher
        = new QDBusPendingCallWatcher(m_session.asyncCall(call, userManagerTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, answered);
    connect(watcher, &QDBusPendingCallWatcher::finished, watcher, &QObject::deleteLater);
}

void Notifier::unitFound(QDBusPendingCallWatcher *watcher)
{
    const QString unit = onlyValue(watcher).value<QDBusObjectPath>().path();
    if (unit.isEmpty())
        return;
    QDBusMessage call
        = QDBusMessage::createMethodCall(userManager, unit, properties, QStringLiteral("Get"));
    call << QStringLiteral("org.freedesktop.systemd1.Unit") << QStringLiteral("ActiveState");
    callUserManager(call, &Notifier::unitStateRead);
}

void Notifier::unitStateRead(QDBusPendingCallWatcher *watcher)
{
    m_onDemand
        = onlyValue(watcher).value<QDBusVariant>().variant().toString() == QStringLiteral("active");
    quitIfIdle();
}

// Every hint ends here: only the property itself says what is pending.
void Notifier::readSchedule()
{
    if (m_reading) {
        m_readAgain = true;
        return;
    }
    m_reading = true;
    auto *watcher
        = new QDBusPendingCallWatcher(m_system.asyncCall(logind::readScheduledShutdown()), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, &Notifier::scheduleRead);
}

void Notifier::scheduleRead(QDBusPendingCallWatcher *watcher)
{
    watcher->deleteLater();
    m_reading = false;
    // A logind that did not answer changes nothing: the schedule, if any, still stands.
    if (const std::optional<logind::ScheduledShutdown> schedule
        = logind::scheduledShutdown(watcher->reply()))
        takeSchedule(*schedule);
    else
        showDueAlert();
    if (std::exchange(m_readAgain, false))
        readSchedule();
    else
        quitIfIdle();
}

void Notifier::takeSchedule(const logind::ScheduledShutdown &schedule)
{
    if (schedule.isPending() && schedule == m_schedule) {
        showDueAlert();
        return;
    }
    // Gone or moved: the old moment's notification and warnings no longer apply.
    m_notifications->close();
    m_schedule = {};
    m_plan.reset();
    if (schedule.isPending()) {
        m_schedule = schedule;
        m_plan.emplace(schedule.usec, logind::realtimeUsec());
    }
    showDueAlert();
}

// Shows what has fallen due and sleeps until the next alert or re-read; with nothing
// pending there is no timer at all.
void Notifier::showDueAlert()
{
    if (!m_plan) {
        m_timer->stop();
        return;
    }
    const std::int64_t now = logind::realtimeUsec();
    if (const std::optional<Alert> alert = m_plan->take(now)) {
        m_notifications->show(message(
            *alert, m_schedule.type.toStdString(), localTime(m_schedule.usec), localTime(now)));
    }
    const std::int64_t wake = std::min(m_plan->nextDueUsec().value_or(INT64_MAX), now + rereadUsec);
    const std::int64_t waitMs = std::max<std::int64_t>(0, (wake - now + 999) / 1000);
    m_timer->start(std::chrono::milliseconds(waitMs));
}

void Notifier::buttonPressed(const QString &key)
{
    if (!m_schedule.isPending())
        return;
    if (key == cancelKey) {
        callLogind(logind::managerCall(QStringLiteral("CancelScheduledShutdown")), cancelFailed());
    } else if (key == postponeKey) {
        QDBusMessage call = logind::managerCall(QStringLiteral("ScheduleShutdown"));
        call << m_schedule.type << qulonglong(m_schedule.usec + postponeUsec);
        callLogind(call, postponeRefused(m_schedule.type.toStdString()));
    }
}

// A button's request; a refusal is shown, anything else is read back.
void Notifier::callLogind(const QDBusMessage &call, const Message &refusal)
{
    auto *watcher
        = new QDBusPendingCallWatcher(m_system.asyncCall(call, logind::interactiveTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
        [this, refusal](QDBusPendingCallWatcher *answered) {
            answered->deleteLater();
            if (answered->isError())
                m_notifications->show(refusal);
            readSchedule();
        });
}

void Notifier::watchScheduleFolder()
{
    const QString folder = QDir(runShutdown).exists() ? runShutdown : runSystemd;
    if (!m_folderWatcher->directories().contains(folder) && QDir(folder).exists())
        m_folderWatcher->addPath(folder);
    if (folder == runShutdown && m_folderWatcher->directories().contains(runSystemd))
        m_folderWatcher->removePath(runSystemd);
}

// Never while the schedule file is there: the path unit would start it again at once, and a
// loop of starts runs into the user manager's start limit.
void Notifier::quitIfIdle()
{
    if (m_onDemand && !m_reading && !m_schedule.isPending() && !QFileInfo::exists(scheduleFile))
        closeAndQuit();
}

void Notifier::closeAndQuit()
{
    m_notifications->closeBeforeEnd();
    QCoreApplication::exit(0);
}

} // namespace korvane::notifier
