#include "alert_plan.h"

#include "core/texts.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <limits>

namespace korvane::notifier {

namespace {

constexpr std::int64_t oneMinuteUsec = 60 * logind::usecPerSecond;
constexpr std::int64_t tenMinutesUsec = 600 * logind::usecPerSecond;

std::string action(std::string_view type)
{
    return std::string(isRestart(type) ? texts::actionRestart : texts::actionPowerOff);
}

} // namespace

bool isRestart(std::string_view type)
{
    return type == "reboot" || type == "dry-reboot" || type == "kexec" || type == "soft-reboot";
}

std::string momentText(const LocalTime &moment, const LocalTime &shownAt)
{
    std::array<char, 32> buffer {};
    std::snprintf(buffer.data(), buffer.size(), "%02d:%02d", moment.hour, moment.minute);
    std::string text(buffer.data());
    if (moment.year == shownAt.year && moment.month == shownAt.month && moment.day == shownAt.day)
        return text;
    std::snprintf(buffer.data(), buffer.size(), "%d月%d日 ", moment.month, moment.day);
    return buffer.data() + text;
}

Message message(
    Alert alert, std::string_view type, const LocalTime &moment, const LocalTime &shownAt)
{
    const std::string save(texts::saveYourWork);
    switch (alert) {
    case Alert::Notice:
        return { std::string(texts::noticeBefore) + momentText(moment, shownAt) + " "
                + action(type),
            Urgency::Normal };
    case Alert::TenMinuteWarning:
        return { std::string(texts::tenMinutesBefore) + action(type) + save, Urgency::Critical };
    case Alert::OneMinuteWarning:
        return { std::string(texts::oneMinuteBefore) + action(type) + save, Urgency::Critical };
    }
    return {};
}

// Critical like the warnings: the schedule stands, and the person has to know.
Message cancelFailed()
{
    return { std::string(texts::cancelFailed), Urgency::Critical };
}

Message postponeRefused(std::string_view type)
{
    return { std::string(isRestart(type) ? texts::restartRefused : texts::shutdownRefused),
        Urgency::Critical };
}

std::chrono::milliseconds timerWait(std::int64_t dueUsec, std::int64_t nowUsec)
{
    if (dueUsec <= nowUsec)
        return {};
    // Unsigned, the difference is exact wherever the two lie.
    const std::uint64_t leftUsec = std::uint64_t(dueUsec) - std::uint64_t(nowUsec);
    return std::chrono::milliseconds(std::min<std::uint64_t>(
        std::numeric_limits<int>::max(), leftUsec / 1000 + (leftUsec % 1000 != 0)));
}

AlertPlan::AlertPlan(std::int64_t momentUsec, std::int64_t firstSeenUsec)
{
    const std::int64_t away = momentUsec - firstSeenUsec;
    if (away <= oneMinuteUsec) {
        m_steps[m_count++] = { Alert::OneMinuteWarning, firstSeenUsec };
        return;
    }
    m_steps[m_count++] = { Alert::Notice, firstSeenUsec };
    if (away > tenMinutesUsec)
        m_steps[m_count++] = { Alert::TenMinuteWarning, momentUsec - tenMinutesUsec };
    m_steps[m_count++] = { Alert::OneMinuteWarning, momentUsec - oneMinuteUsec };
}

std::optional<Alert> AlertPlan::take(std::int64_t nowUsec)
{
    std::optional<Alert> due;
    while (m_next < m_count && m_steps[m_next].atUsec <= nowUsec)
        due = m_steps[m_next++].alert;
    return due;
}

std::optional<std::int64_t> AlertPlan::nextDueUsec() const
{
    if (m_next == m_count)
        return std::nullopt;
    return m_steps[m_next].atUsec;
}

} // namespace korvane::notifier
