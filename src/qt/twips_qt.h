#pragma once

#include "core/twips.h"

#include <QRect>
#include <QSize>

namespace korvane {

// Device-independent pixels; Qt's high-DPI scaling does the rest.
constexpr int twips(int value)
{
    return twipsToPixels(value);
}

constexpr QRect toPixels(TwipsRect rect)
{
    return { twips(rect.left), twips(rect.top), twips(rect.width), twips(rect.height) };
}

constexpr QSize toPixels(TwipsSize size)
{
    return { twips(size.width), twips(size.height) };
}

} // namespace korvane
