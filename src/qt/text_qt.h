#pragma once

#include <QString>

#include <string_view>

namespace korvane::qt {

// The logic's UTF-8 texts (design tables, application record) as Qt's.
[[nodiscard]] inline QString toQString(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

} // namespace korvane::qt
