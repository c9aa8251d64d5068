#pragma once

#include <time.h>

#include <cstdint>

// The clock logind's schedule counts in: microseconds since the epoch, CLOCK_REALTIME.
namespace korvane::logind {

inline constexpr std::int64_t usecPerSecond = 1000000;

// CLOCK_REALTIME is always there, so clock_gettime cannot fail with it.
inline std::int64_t realtimeUsec()
{
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    return std::int64_t(now.tv_sec) * usecPerSecond + now.tv_nsec / 1000;
}

} // namespace korvane::logind
