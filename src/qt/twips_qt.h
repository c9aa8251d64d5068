#pragma once

#include "core/twips.h"

#include <QRect>
#include <QSize>

namespace korvane {

// In device-independent pixels; Qt's high-DPI scaling does the rest.
constexpr QRect twipsToPixels(TwipsRect rect)
{
    return { twipsToPixels(rect.left), twipsToPixels(rect.top), twipsToPixels(rect.width),
        twipsToPixels(rect.height) };
}

constexpr QSize twipsToPixels(TwipsSize size)
{
    return { twipsToPixels(size.width), twipsToPixels(size.height) };
}

} // namespace korvane
