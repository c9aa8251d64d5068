#include "clock_caption.h"

#include "locale.h"

namespace korvane {

std::string clockCaption(const Clock &clock, const Locale &locale)
{
    return "当前时间: " + locale.timeText(clock.now());
}

} // namespace korvane
