#pragma once

// Helpers for the tests of the Win32 windows, which run headless under Wine's null display
// driver: messages are pumped by hand, and keys go through the program's own dialog-key
// handling as the message loop would send them.
#include "core/utf.h"
#include "win32/top_level_win32.h"
#include "win32/windows_api.h"

#include <functional>
#include <string>

namespace korvane::testing {

// Runs the thread's messages until `done` or about `patienceMs` milliseconds have passed.
inline bool pumpUntil(const std::function<bool()> &done, int patienceMs = 30000)
{
    for (int waited = 0;; waited += 10) {
        MSG message {};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                return done();
            }
            if (!win32::handleDialogKey(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        if (done() || waited >= patienceMs)
            return done();
        Sleep(10);
    }
}

// True once, when a WM_QUIT is waiting in the thread's queue (it is taken out).
inline bool takeQuit()
{
    MSG message {};
    return PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

inline std::string windowText(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return narrow(text);
}

// A control's rectangle in its parent's client coordinates.
inline RECT childRect(HWND control)
{
    RECT rect {};
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

inline SIZE clientSize(HWND window)
{
    RECT rect {};
    GetClientRect(window, &rect);
    return { rect.right, rect.bottom };
}

// A key pressed with `window` focused, through the same dialog-key handling as the loop.
inline void pressKey(HWND window, UINT message, WPARAM key)
{
    MSG msg { window, message, key, message == WM_SYSCHAR ? LPARAM(1) << 29 : 0, 0, {} };
    if (!win32::handleDialogKey(msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Pretends the window moved to a monitor of `dpi`, as Windows tells it.
inline void changeDpi(HWND window, UINT dpi)
{
    RECT suggested {};
    GetWindowRect(window, &suggested);
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

} // namespace korvane::testing
