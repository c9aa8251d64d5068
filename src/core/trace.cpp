#include "trace.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace korvane {

void traceMark(const char *label)
{
    static const char *const path = std::getenv("KORVANE_TRACE_FILE");
    if (!path)
        return;
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    if (std::FILE *file = std::fopen(path, "a")) {
        std::fprintf(file, "%s %lld\n", label,
            static_cast<long long>(std::chrono::nanoseconds(now).count()));
        std::fclose(file);
    }
}

} // namespace korvane
