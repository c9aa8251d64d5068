#pragma once

#include <QString>

#include <cstdio>
#include <string_view>

namespace korvane::notifier {

inline QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// One line on stderr, which the session's journal keeps.
inline void tell(const QString &line)
{
    std::fprintf(stderr, "notifier: %s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

} // namespace korvane::notifier
