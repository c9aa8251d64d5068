#pragma once

#include <string>

namespace korvane {

class Clock;
class Locale;

// "当前时间: " followed by the current local time of day.
[[nodiscard]] std::string clockCaption(const Clock &clock, const Locale &locale);

} // namespace korvane
