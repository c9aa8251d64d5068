#pragma once

#include <string>

namespace korvane {

// "关于 Korvane": the About window's caption, from the application record.
[[nodiscard]] std::string aboutCaption();

// "版本 1.0.0": the version numbers in plain decimal digits.
[[nodiscard]] std::string versionLine();

} // namespace korvane
