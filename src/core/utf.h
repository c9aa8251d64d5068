#pragma once

#include <string>
#include <string_view>

namespace korvane {

// UTF-8 and the system's wide text: UTF-16 where wchar_t has 16 bits (Windows), UTF-32
// elsewhere. A malformed sequence becomes U+FFFD, as the Windows converters make it.
[[nodiscard]] std::wstring widen(std::string_view utf8);
[[nodiscard]] std::string narrow(std::wstring_view wide);

} // namespace korvane
