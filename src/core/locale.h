#pragma once

#include <optional>
#include <string>

namespace korvane {

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The user's conventions for numbers and times.
class Locale {
public:
    virtual ~Locale() = default;

    // The whole text as a finite number, blanks around it allowed; nullopt otherwise
    // (the empty text, NaN and the infinities included).
    [[nodiscard]] virtual std::optional<double> toNumber(const std::string &text) const = 0;

    [[nodiscard]] virtual std::string decimalSeparator() const = 0;

    // Hours, minutes and seconds in the long time format, without a time zone.
    [[nodiscard]] virtual std::string timeText(const TimeOfDay &time) const = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    [[nodiscard]] virtual TimeOfDay now() const = 0;
};

} // namespace korvane
