#pragma once

#include "core/power_action.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace korvane {

// Ten years: far beyond the largest delay the window can write (59999940 s), small enough
// that now + delay in microseconds can never overflow.
inline constexpr std::int64_t maxDelaySeconds = 315360000;

enum class RequestKind {
    Schedule,
    Cancel,
    Help,
};

struct Request {
    RequestKind what = RequestKind::Help;
    // Only for Schedule.
    PowerAction action = PowerAction::Shutdown;
    // Whole microseconds, rounded half up from the decimal text; 0 for Cancel and Help.
    std::int64_t delayUsec = 0;

    bool operator==(const Request &) const = default;
};

// Why a command line was turned down, in one line for stderr.
struct Refusal {
    std::string message;
};

// Exactly "-s -t N", "-r -t N", "-a" or "--help" (arguments after the program name). N is
// plain decimal digits with at most one "." or decimalSeparator and digits on both sides of
// it: no sign, blanks, exponent, hexadecimal, infinity or NaN, and at most maxDelaySeconds.
[[nodiscard]] std::variant<Request, Refusal> parseShutdownArguments(
    const std::vector<std::string> &arguments, std::string_view decimalSeparator);

[[nodiscard]] std::variant<Request, Refusal> parseShutdownArguments(
    int argc, const char *const *argv, std::string_view decimalSeparator);

// The delay text alone, as whole microseconds; nullopt when it is not accepted.
[[nodiscard]] std::optional<std::int64_t> parseDelayUsec(
    std::string_view text, std::string_view decimalSeparator);

// The CLOCK_REALTIME instant, in microseconds, that lies delayUsec after nowUsec; nullopt
// when either is negative or the sum would not fit.
[[nodiscard]] std::optional<std::uint64_t> scheduleTimeUsec(
    std::int64_t nowUsec, std::int64_t delayUsec);

} // namespace korvane
