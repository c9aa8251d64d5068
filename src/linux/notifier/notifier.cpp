#include "notifier.h"

#include "core/notifier_bus.h"
#include "notifications.h"
#include "realtime_alarm.h"
#include "text.h"
#include "when_answered.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingReply>
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

#include <chrono>
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
// On demand, it stays this long after the last pending action went away, so that a person's
// quick schedule-and-cancel clicks start it once, not once a click: every end followed by a
// schedule is a start, and the user manager refuses a unit five starts in ten seconds.
constexpr std::chrono::milliseconds linger { 5000 };

const QString properties = QStringLiteral("org.freedesktop.DBus.Properties");

LocalTime localTime(std::int64_t usec)
{
    const time_t seconds = time_t(usec / logind::usecPerSecond);
    tm parts {};
    localtime_r(&seconds, &parts);
    return { parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min };
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
    , m_alarm(new RealtimeAlarm(this))
    , m_linger(new QTimer(this))
    , m_folderWatcher(new QFileSystemWatcher(this))
    , m_logindWatcher(new QDBusServiceWatcher(
          logind::service, system, QDBusServiceWatcher::WatchForOwnerChange, this))
{
    connect(m_alarm, &RealtimeAlarm::rang, this, &Notifier::settle);
    m_linger->setSingleShot(true);
    m_linger->setInterval(linger);
    connect(m_linger, &QTimer::timeout, this, [this] {
        if (mayEnd())
            closeAndQuit();
    });
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
        auto *ends = new QSocketNotifier(endSignals, QSocketNotifier::Read, this);
        connect(ends, &QSocketNotifier::activated, this, &Notifier::closeAndQuit);
    }
    watchScheduleFolder();
}

bool Notifier::start()
{
    // Qt's bus API takes these by slot name only.
    m_system.connect(logind::service, logind::path, properties, QStringLiteral("PropertiesChanged"),
        this, SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
    m_system.connect(logind::service, logind::path, logind::manager,
        QStringLiteral("PrepareForSleep"), this, SLOT(prepareForSleep(bool)));
    // libdbus's own word that a bus went away: nothing would ever reach the notifier again.
    for (QDBusConnection *bus : { &m_system, &m_session })
        bus->connect(QString(), QStringLiteral("/org/freedesktop/DBus/Local"),
            QStringLiteral("org.freedesktop.DBus.Local"), QStringLiteral("Disconnected"), this,
            SLOT(busGone()));

    // A copy that finds the name taken must neither end nor show anything: ended, the path unit
    // would start it again at once while the schedule file is there. It waits in line, and the
    // bus hands it the name when the copy before it ends.
    const QString name = toQString(notifier_bus::service);
    QDBusConnectionInterface *bus = m_session.interface();
    connect(bus, &QDBusConnectionInterface::serviceRegistered, this,
        [this, name](const QString &acquired) {
            if (acquired == name)
                nameAcquired();
        });
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> queued
        = bus->registerService(name, QDBusConnectionInterface::QueueService,
            QDBusConnectionInterface::DontAllowReplacement);
    if (!queued.isValid())
        return false;
    if (queued.value() == QDBusConnectionInterface::ServiceRegistered)
        nameAcquired();
    askUserManager();
    settle();
    return true;
}

void Notifier::nameAcquired()
{
    if (std::exchange(m_holdsName, true))
        return;
    readSchedule();
}

void Notifier::propertiesChanged(
    const QString &interface, const QVariantMap &changed, const QStringList &invalidated)
{
    if (interface == logind::manager
        && (changed.contains(logind::scheduledShutdownName)
            || invalidated.contains(logind::scheduledShutdownName)))
        readSchedule();
}

void Notifier::prepareForSleep(bool sleeping)
{
    // Back from sleep: whatever fell due meanwhile is shown now, and the schedule may have
    // changed while no one was looking.
    if (!sleeping)
        readSchedule();
}

void Notifier::busGone()
{
    tell(QStringLiteral("a bus went away; ending"));
    closeAndQuit();
}

void Notifier::askUserManager()
{
    QDBusMessage call
        = QDBusMessage::createMethodCall(userManager, QStringLiteral("/org/freedesktop/systemd1"),
            QStringLiteral("org.freedesktop.systemd1.Manager"), QStringLiteral("GetUnit"));
    call << pathUnit;
    callUserManager(call, &Notifier::unitFound);
}

void Notifier::callUserManager(
    QDBusMessage call, void (Notifier::*answered)(const QDBusPendingCall &))
{
    // A session without a user manager must not have the bus try to start one.
    call.setAutoStartService(false);
    whenAnswered(m_session.asyncCall(call, userManagerTimeoutMs), this,
        [this, answered](const QDBusPendingCall &answer) { (this->*answered)(answer); });
}

void Notifier::unitFound(const QDBusPendingCall &answer)
{
    const QDBusPendingReply<QDBusObjectPath> unit = answer;
    if (!unit.isValid()) {
        m_mode = Mode::Resident;
        return settle();
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        userManager, unit.value().path(), properties, QStringLiteral("Get"));
    call << QStringLiteral("org.freedesktop.systemd1.Unit") << QStringLiteral("ActiveState");
    callUserManager(call, &Notifier::unitStateRead);
}

void Notifier::unitStateRead(const QDBusPendingCall &answer)
{
    const QDBusPendingReply<QDBusVariant> state = answer;
    m_mode = state.isValid() && state.value().variant().toString() == QStringLiteral("active")
        ? Mode::OnDemand
        : Mode::Resident;
    settle();
}

// Every hint ends here: only the property itself says what is pending. A copy waiting in
// line has nothing to read for.
void Notifier::readSchedule()
{
    if (!m_holdsName)
        return settle();
    if (std::exchange(m_reading, true)) {
        m_readAgain = true;
        return;
    }
    whenAnswered(logind::readScheduledShutdown(m_system), this,
        [this](const QDBusPendingCall &answer) { scheduleAnswered(answer); });
}

void Notifier::scheduleAnswered(const QDBusPendingCall &answer)
{
    m_reading = false;
    // A logind that did not answer changes nothing: the schedule, if any, still stands.
    if (const std::optional<logind::ScheduledShutdown> schedule
        = logind::scheduledShutdown(answer)) {
        m_logind = Logind::Answered;
        takeSchedule(*schedule);
    } else if (m_logind == Logind::NotAsked) {
        m_logind = Logind::Missing;
        tell(QStringLiteral("cannot read ScheduledShutdown from systemd-logind: %1")
                 .arg(QDBusPendingReply<>(answer).error().message()));
    }
    if (std::exchange(m_readAgain, false))
        readSchedule();
    settle();
}

void Notifier::takeSchedule(const logind::ScheduledShutdown &schedule)
{
    if (m_pending && schedule == m_pending->schedule)
        return;
    // Gone or moved: the old moment's notification and warnings no longer apply.
    m_notifications->close();
    m_pending.reset();
    if (schedule.isPending())
        m_pending.emplace(Pending { schedule, AlertPlan(schedule.usec, logind::realtimeUsec()) });
}

void Notifier::buttonPressed(const QString &key)
{
    if (!m_pending)
        return;
    const logind::ScheduledShutdown &schedule = m_pending->schedule;
    if (key == cancelKey) {
        callLogind(logind::managerCall(QStringLiteral("CancelScheduledShutdown")), cancelFailed());
    } else if (key == postponeKey) {
        QDBusMessage call = logind::managerCall(QStringLiteral("ScheduleShutdown"));
        call << schedule.type << qulonglong(schedule.usec + postponeUsec);
        callLogind(call, postponeRefused(schedule.type.toStdString()));
    }
}

// A button's request; a refusal is shown, anything else is read back.
void Notifier::callLogind(const QDBusMessage &call, const Message &refusal)
{
    whenAnswered(m_system.asyncCall(call, logind::interactiveTimeoutMs), this,
        [this, refusal](const QDBusPendingCall &answer) {
            if (answer.isError())
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

// Where every event ends: shows what has fallen due, sets the alarm for the next alert, and
// ends an idle notifier once it has lingered.
void Notifier::settle()
{
    std::optional<std::int64_t> next;
    if (m_pending) {
        const std::int64_t now = logind::realtimeUsec();
        if (const std::optional<Alert> alert = m_pending->plan.take(now)) {
            const logind::ScheduledShutdown &schedule = m_pending->schedule;
            m_notifications->show(message(
                *alert, schedule.type.toStdString(), localTime(schedule.usec), localTime(now)));
        }
        next = m_pending->plan.nextDueUsec();
    }
    m_alarm->ringAt(next);
    if (!mayEnd())
        m_linger->stop();
    else if (!m_linger->isActive())
        m_linger->start();
}

// Never while the schedule file is there: the path unit would start it again at once, and a
// loop of starts runs into the user manager's start limit. Resident, it ends only where there
// is no logind to watch at all.
bool Notifier::mayEnd() const
{
    if (m_pending || m_reading || QFileInfo::exists(scheduleFile))
        return false;
    return m_mode == Mode::OnDemand || m_logind == Logind::Missing;
}

void Notifier::closeAndQuit()
{
    m_notifications->closeBeforeEnd();
    QCoreApplication::exit(0);
}

} // namespace korvane::notifier
