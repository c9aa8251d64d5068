#include "clock_caption.h"

#include "locale.h"
#include "texts.h"

namespace korvane {

std::string clockCaption(const Clock &clock, const Locale &locale)
{
    return std::string(texts::clockPrefix) + locale.timeText(clock.now());
}

} // namespace korvane
