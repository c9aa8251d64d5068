#include "realtime_alarm.h"

#include "alert_plan.h"
#include "linux/logind/realtime.h"

#include <QSocketNotifier>
#include <QTimer>

#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace korvane::notifier {

RealtimeAlarm::RealtimeAlarm(QObject *parent)
    : QObject(parent)
    , m_descriptor(timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC))
{
    if (m_descriptor >= 0) {
        m_readable = new QSocketNotifier(m_descriptor, QSocketNotifier::Read, this);
        connect(m_readable, &QSocketNotifier::activated, this, &RealtimeAlarm::read);
        return;
    }
    m_fallback = new QTimer(this);
    m_fallback->setTimerType(Qt::PreciseTimer);
    m_fallback->setSingleShot(true);
    connect(m_fallback, &QTimer::timeout, this, &RealtimeAlarm::fallbackRang);
}

RealtimeAlarm::~RealtimeAlarm()
{
    if (m_descriptor >= 0)
        close(m_descriptor);
}

void RealtimeAlarm::ringAt(std::optional<std::int64_t> usec)
{
    if (m_fallback) {
        if (!usec)
            return m_fallback->stop();
        m_fallbackUsec = *usec;
        return m_fallback->start(timerWait(*usec, logind::realtimeUsec()));
    }
    itimerspec moment {};
    int flags = 0;
    if (usec) {
        // An all-zero moment would disarm it; one in the past rings at once.
        const std::int64_t at = std::max<std::int64_t>(*usec, 1);
        moment.it_value.tv_sec = time_t(at / logind::usecPerSecond);
        moment.it_value.tv_nsec = long(at % logind::usecPerSecond) * 1000;
        // The read then fails with ECANCELED when the clock is set: a moment to look again.
        flags = TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET;
    }
    timerfd_settime(m_descriptor, flags, &moment, nullptr);
}

// A moment further away than the timer's int holds is waited for in parts.
void RealtimeAlarm::fallbackRang()
{
    if (const std::int64_t now = logind::realtimeUsec(); now < m_fallbackUsec)
        return m_fallback->start(timerWait(m_fallbackUsec, now));
    emit rang();
}

void RealtimeAlarm::read()
{
    std::uint64_t expirations = 0;
    // Rung or the clock set: either way the descriptor is drained and the listener looks again.
    if (::read(m_descriptor, &expirations, sizeof expirations) < 0 && errno == EAGAIN)
        return;
    emit rang();
}

} // namespace korvane::notifier
