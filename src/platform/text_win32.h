#pragma once

#include <string>

namespace korvane {

[[nodiscard]] std::wstring widen(const std::string &utf8);
[[nodiscard]] std::string narrow(const std::wstring &utf16);

} // namespace korvane
