#include "dpi_win32.h"

namespace korvane::win32 {

namespace {

// Resolved at run time: Windows before 10 (1607) has none of these, and the program still
// runs there at the system DPI.
template <typename Function> Function user32Function(const char *name)
{
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32)
        return nullptr;
    // Through a generic function pointer, which converts to any other without a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(user32, name)));
}

using GetDpiForWindowFunction = UINT(WINAPI *)(HWND);
using SystemParametersInfoForDpiFunction = BOOL(WINAPI *)(UINT, UINT, PVOID, UINT, UINT);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI *)(LPRECT, DWORD, BOOL, DWORD, UINT);

UINT screenDpi()
{
    const ScopedDc screen(nullptr);
    const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

} // namespace

UINT windowDpi(HWND window)
{
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow && window) {
        if (const UINT dpi = getDpiForWindow(window))
            return dpi;
    }
    return screenDpi();
}

ScopedFont messageFont(UINT dpi)
{
    static const auto forDpi
        = user32Function<SystemParametersInfoForDpiFunction>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics {};
    metrics.cbSize = sizeof metrics;
    if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi))
        return ScopedFont(CreateFontIndirectW(&metrics.lfMessageFont));
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return ScopedFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    // Without per-DPI metrics, the font comes at the screen's DPI.
    metrics.lfMessageFont.lfHeight = MulDiv(
        metrics.lfMessageFont.lfHeight, static_cast<int>(dpi), static_cast<int>(screenDpi()));
    return ScopedFont(CreateFontIndirectW(&metrics.lfMessageFont));
}

void setClientSize(HWND window, SIZE size, UINT dpi, const POINT *clientTopLeft)
{
    static const auto adjustForDpi
        = user32Function<AdjustWindowRectExForDpiFunction>("AdjustWindowRectExForDpi");
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));

    RECT frame { 0, 0, size.cx, size.cy };
    if (!(adjustForDpi && adjustForDpi(&frame, style, FALSE, exStyle, dpi)))
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);

    RECT current {};
    GetWindowRect(window, &current);
    POINT origin { current.left, current.top };
    if (clientTopLeft)
        origin = { clientTopLeft->x + frame.left, clientTopLeft->y + frame.top };
    SetWindowPos(window, nullptr, origin.x, origin.y, frame.right - frame.left,
        frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);

    // The frame the system really drew can differ from the computed one (a DPI change
    // not yet applied to the frame, or a system without per-DPI metrics): correct once.
    RECT client {};
    GetClientRect(window, &client);
    const LONG extraWidth = size.cx - client.right;
    const LONG extraHeight = size.cy - client.bottom;
    if (extraWidth != 0 || extraHeight != 0) {
        GetWindowRect(window, &current);
        SetWindowPos(window, nullptr, 0, 0, current.right - current.left + extraWidth,
            current.bottom - current.top + extraHeight, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    }
}

} // namespace korvane::win32
