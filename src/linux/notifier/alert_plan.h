#pragma once

#include "linux/logind/realtime.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// What the desktop notifier says, and when, about a power-off or restart that logind has
// pending. Standard C++ only: the D-Bus side hands in clock readings and local times.
namespace korvane::notifier {

// The notice when a moment is first seen, then the warnings shortly before it.
enum class Alert { Notice, TenMinuteWarning, OneMinuteWarning };

// The values of the notification's "urgency" hint.
enum class Urgency : std::uint8_t { Normal = 1, Critical = 2 };

// A moment broken down in the local time zone.
struct LocalTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
};

struct Message {
    std::string body;
    Urgency urgency = Urgency::Normal;

    bool operator==(const Message &) const = default;
};

// logind's type names: every one that is not a restart powers the machine off.
[[nodiscard]] bool isRestart(std::string_view type);

// "HH:MM", with "M月D日 " before it when the moment falls on another local date than shownAt.
[[nodiscard]] std::string momentText(const LocalTime &moment, const LocalTime &shownAt);

[[nodiscard]] Message message(
    Alert alert, std::string_view type, const LocalTime &moment, const LocalTime &shownAt);

// What a refused "取消" or "推迟 10 分钟" is answered with.
[[nodiscard]] Message cancelFailed();
[[nodiscard]] Message postponeRefused(std::string_view type);

inline constexpr std::int64_t postponeUsec = 600 * logind::usecPerSecond;

// What a millisecond timer is set to for a moment dueUsec away from nowUsec: the time left,
// rounded up, but no more than its int holds (24.8 days); then it is set again for the rest.
[[nodiscard]] std::chrono::milliseconds timerWait(std::int64_t dueUsec, std::int64_t nowUsec);

// The alerts one pending moment gets, decided once from how far away it was when first
// seen: a moment that moves is a new plan.
class AlertPlan {
public:
    AlertPlan(std::int64_t momentUsec, std::int64_t firstSeenUsec);

    // The latest alert due at nowUsec that has not been taken; earlier ones that fell due
    // meanwhile (a suspended machine) are dropped, as they would only be out of date.
    [[nodiscard]] std::optional<Alert> take(std::int64_t nowUsec);
    // When the next alert falls due; nullopt once the last one is taken.
    [[nodiscard]] std::optional<std::int64_t> nextDueUsec() const;

private:
    struct Step {
        Alert alert;
        std::int64_t atUsec;
    };

    std::array<Step, 3> m_steps {};
    std::size_t m_count = 0;
    std::size_t m_next = 0;
};

} // namespace korvane::notifier
