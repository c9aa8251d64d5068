#pragma once

#include <QRect>

namespace korvane {

// Window geometry is designed in twips (1/1440 inch); 15 twips make one device-independent
// pixel, and Qt's high-DPI scaling does the rest.
constexpr int twips(int value)
{
    return (value + 7) / 15;
}

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return { twips(left), twips(top), twips(width), twips(height) };
}

} // namespace korvane
