#include "seconds_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace korvane {

namespace {

std::string fixedShortest(double value)
{
    // Fixed notation never needs more than this for a double (about 1075 digits plus sign).
    std::array<char, 1100> buffer {};
    const auto [end, error] = std::to_chars(
        buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
    if (error != std::errc())
        return {};
    return { buffer.data(), end };
}

} // namespace

std::string secondsText(double seconds, std::string_view decimalSeparator)
{
    if (seconds == 0)
        return "0"; // also for -0: zero is not negative

    if (std::trunc(seconds) == seconds)
        return fixedShortest(seconds);

    // Round to 15 significant digits first, so that 0.03 * 60 = 1.7999999999999998 reads 1.8.
    std::array<char, 32> rounded {};
    std::snprintf(rounded.data(), rounded.size(), "%.14e", seconds);
    std::string text = fixedShortest(std::strtod(rounded.data(), nullptr));

    if (const std::size_t point = text.find('.'); point != std::string::npos)
        text.replace(point, 1, decimalSeparator);
    return text;
}

} // namespace korvane
