#pragma once

#include <string_view>

namespace korvane::app {

// The facts the windows and message boxes show about the program.
inline constexpr std::string_view Title = "Korvane";
inline constexpr int VersionMajor = 1;
inline constexpr int VersionMinor = 0;
inline constexpr int VersionRevision = 0;

} // namespace korvane::app
