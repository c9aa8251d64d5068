#pragma once

#include <string_view>

namespace korvane::app {

// The facts the windows and message boxes show about the program.
inline constexpr std::string_view title = "Korvane";
inline constexpr int versionMajor = 1;
inline constexpr int versionMinor = 0;
inline constexpr int versionRevision = 0;

} // namespace korvane::app
