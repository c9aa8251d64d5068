#pragma once

#include <string>
#include <string_view>

namespace korvane {

// The delay as the shutdown command line carries it: a whole value as plain digits
// (600, 0, -300); any other value in its shortest fixed form of at most 15 significant
// digits with the given decimal separator (90.6, 1.8). Expects a finite value.
[[nodiscard]] std::string secondsText(double seconds, std::string_view decimalSeparator);

} // namespace korvane
