#pragma once

#include <string>
#include <string_view>

namespace korvane {

[[nodiscard]] std::wstring widen(std::string_view utf8);
[[nodiscard]] std::string narrow(const std::wstring &utf16);

} // namespace korvane
