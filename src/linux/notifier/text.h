#pragma once

#include <QString>

#include <string_view>

namespace korvane::notifier {

inline QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace korvane::notifier
