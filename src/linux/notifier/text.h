#pragma once

#include "linux/logind/tell.h"

#include <QString>

#include <string_view>

namespace korvane::notifier {

inline QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

inline void tell(const QString &line)
{
    korvane::tell("notifier", line);
}

} // namespace korvane::notifier
