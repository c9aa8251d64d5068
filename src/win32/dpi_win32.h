#pragma once

#include "core/twips.h"
#include "scoped_win32.h"

#include "windows_api.h"

namespace korvane::win32 {

// Every size goes through the window's DPI: the manifest asks for per-monitor awareness.

// The window's DPI (GetDpiForWindow where the system has it, else the screen's).
[[nodiscard]] UINT windowDpi(HWND window);

// Twips to pixels at the window's `dpi`.
[[nodiscard]] inline int twipsToPixels(int twips, UINT dpi)
{
    return korvane::twipsToPixels(twips, static_cast<int>(dpi));
}

// The system's message font, sized for `dpi`.
[[nodiscard]] ScopedFont messageFont(UINT dpi);

// Sizes the window so that its client area is `size` pixels, its top-left corner staying
// where it is, or moving to `topLeft` of the client area when given.
void setClientSize(HWND window, SIZE size, UINT dpi, const POINT *clientTopLeft = nullptr);

} // namespace korvane::win32
