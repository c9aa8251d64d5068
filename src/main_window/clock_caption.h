#pragma once

#include <string>

namespace korvane {

class Clock;
class Locale;

inline constexpr const char *StartupCaption = "程序加载中...";

// "当前时间: " followed by the current local time of day.
[[nodiscard]] std::string ClockCaption(const Clock &clock, const Locale &locale);

} // namespace korvane
