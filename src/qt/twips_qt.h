#pragma once

#include "core/twips.h"

#include <QRect>
#include <QSize>

namespace korvane::qt {

// In device-independent pixels; Qt's high-DPI scaling does the rest.
constexpr QRect twipsToPixels(TwipsRect rect)
{
    return { korvane::twipsToPixels(rect.left), korvane::twipsToPixels(rect.top),
        korvane::twipsToPixels(rect.width), korvane::twipsToPixels(rect.height) };
}

constexpr QSize twipsToPixels(TwipsSize size)
{
    return { korvane::twipsToPixels(size.width), korvane::twipsToPixels(size.height) };
}

} // namespace korvane::qt
