#pragma once

namespace korvane {

// Window geometry is designed in twips (1/1440 inch): 15 twips make one pixel at 96 dots
// per inch. Each front end scales from there (Qt's high-DPI scaling, or the window's DPI
// on Win32).
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct TwipsSize {
    int width = 0;
    int height = 0;
};

// Rounded to the nearest pixel, as MulDiv(value, dpi, 1440) does.
constexpr int twipsToPixels(int value, int dpi = 96)
{
    const long long scaled = static_cast<long long>(value) * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + 720) / 1440 : (scaled - 720) / 1440);
}

} // namespace korvane
