#include "notifier.h"

#include "button_requests.h"
#include "core/notifier_bus.h"
#include "linux/logind/tell.h"
#include "notifications.h"
#include "realtime_alarm.h"
#include "schedule_watch.h"
#include "text.h"
#include "user_manager.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QSocketNotifier>
#include <QTimer>

#include <time.h>

#include <chrono>

namespace korvane::notifier {

namespace {

// On demand, it stays this long after the last pending action went away, so that a person's
// quick schedule-and-cancel clicks start it once, not once a click: every end followed by a
// schedule is a start, and the user manager refuses a unit five starts in ten seconds.
constexpr std::chrono::seconds linger { KORVANE_NOTIFIER_LINGER_S };

LocalTime localTime(std::int64_t usec)
{
    const time_t seconds = time_t(usec / logind::usecPerSecond);
    tm parts {};
    localtime_r(&seconds, &parts);
    return { parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min };
}

} // namespace

// moc takes the interface and the method by their literal names only; these keep them what
// the window calls.
static_assert(notifier_bus::interface == "org.example.Korvane.Notifier");
static_assert(notifier_bus::refresh == "Refresh");

Notifier::Notifier(const QDBusConnection &system, const QDBusConnection &session, int endSignals)
    : m_system(system)
    , m_session(session)
    , m_schedule(new ScheduleWatch(system, this))
    , m_userManager(new UserManager(session, this))
    , m_requests(new ButtonRequests(system, this))
    , m_notifications(new Notifications(session, this))
    , m_alarm(new RealtimeAlarm(this))
    , m_linger(new QTimer(this))
{
    connect(m_schedule, &ScheduleWatch::read, this, &Notifier::take);
    connect(m_userManager, &UserManager::answered, this, [this](bool onDemand) {
        m_mode = onDemand ? Mode::OnDemand : Mode::Resident;
        reconcile();
    });
    connect(m_requests, &ButtonRequests::answered, this, &Notifier::requestAnswered);
    connect(m_notifications, &Notifications::buttonPressed, this, &Notifier::buttonPressed);
    connect(m_notifications, &Notifications::closed, this, &Notifier::closedOnScreen);
    connect(m_alarm, &RealtimeAlarm::rang, this, &Notifier::reconcile);
    m_linger->setSingleShot(true);
    m_linger->setInterval(linger);
    connect(m_linger, &QTimer::timeout, this, [this] {
        if (mayEnd())
            closeAndQuit();
    });
    if (endSignals >= 0) {
        auto *ends = new QSocketNotifier(endSignals, QSocketNotifier::Read, this);
        connect(ends, &QSocketNotifier::activated, this, &Notifier::closeAndQuit);
    }
}

bool Notifier::start()
{
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
                m_schedule->start();
        });
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> queued
        = bus->registerService(name, QDBusConnectionInterface::QueueService,
            QDBusConnectionInterface::DontAllowReplacement);
    if (!queued.isValid())
        return false;
    if (queued.value() == QDBusConnectionInterface::ServiceRegistered)
        m_schedule->start();
    m_userManager->ask();
    reconcile();
    return true;
}

void Notifier::Refresh()
{
    m_schedule->readAgain();
}

void Notifier::busGone()
{
    tell(QStringLiteral("a bus went away; ending"));
    closeAndQuit();
}

// Only the schedule read says what is pending; a logind that did not answer changes nothing.
void Notifier::take(const std::optional<logind::ScheduledShutdown> &schedule)
{
    if (schedule && !(m_pending && *schedule == m_pending->schedule)) {
        // Gone or moved: the old moment's alerts no longer apply.
        m_pending.reset();
        if (schedule->isPending())
            m_pending.emplace(
                Pending { *schedule, AlertPlan(schedule->usec, logind::realtimeUsec()), {} });
    }
    reconcile();
}

void Notifier::buttonPressed(const QString &key)
{
    if (m_pending)
        m_requests->press(key, m_pending->schedule);
}

void Notifier::requestAnswered(const std::optional<Message> &refusal)
{
    if (refusal && m_pending)
        m_pending->word = refusal;
    m_schedule->readAgain();
    reconcile();
}

void Notifier::closedOnScreen(const Message &message)
{
    // Not shown again until there is something new to say.
    if (m_pending && m_pending->word == message)
        m_pending->word.reset();
    reconcile();
}

// Where every event ends: derives the one word wanted on screen from what is pending and has
// fallen due, sets the alarm for the next alert, and ends an idle notifier once it lingered.
void Notifier::reconcile()
{
    std::optional<std::int64_t> next;
    if (m_pending) {
        const std::int64_t now = logind::realtimeUsec();
        const logind::ScheduledShutdown &schedule = m_pending->schedule;
        if (const std::optional<Alert> alert = m_pending->plan.take(now))
            m_pending->word = message(
                *alert, schedule.type.toStdString(), localTime(schedule.usec), localTime(now));
        next = m_pending->plan.nextDueUsec();
    }
    // A moved moment replaces its notice in place, as an alert does: one notification for one
    // pending action, the same whether or not a Notify was still unanswered.
    m_notifications->want(m_pending ? m_pending->word : std::nullopt);
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
    if (m_pending || m_schedule->mayBePending())
        return false;
    return m_mode == Mode::OnDemand || m_schedule->logindMissing();
}

void Notifier::closeAndQuit()
{
    m_notifications->closeBeforeEnd();
    QCoreApplication::exit(0);
}

} // namespace korvane::notifier
