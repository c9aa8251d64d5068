#pragma once

// Helpers for the tests of the Win32 windows, which run headless under Wine's null display
// driver: messages are pumped by hand, and keys go through the program's own dialog-key
// handling as the message loop would send them.
#include "core/designed_pixels.h"
#include "core/utf.h"
#include "win32/form_win32.h"
#include "win32/message_parameter_win32.h"
#include "win32/top_level_win32.h"
#include "win32/windows_api.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

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

// This thread's top-level windows of a window class.
inline std::vector<HWND> threadWindows(const wchar_t *className)
{
    struct Search {
        const wchar_t *className;
        std::vector<HWND> found;
    } search { className, {} };
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM parameter) {
            auto &search = *win32::messagePointer<Search *>(parameter);
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (std::wstring_view(name) == search.className)
                search.found.push_back(window);
            return TRUE;
        },
        win32::lParamOf(&search));
    return search.found;
}

inline HWND threadWindow(const wchar_t *className)
{
    const std::vector<HWND> found = threadWindows(className);
    return found.empty() ? nullptr : found.front();
}

// The control a row of `form` made in `window`.
inline HWND control(HWND window, const FormDesign &form, const ControlDesign &row)
{
    return GetDlgItem(window, win32::controlId(form, row));
}

// A control's place and size in its parent's client area.
inline PixelRect placeOf(HWND control)
{
    RECT rect {};
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT *>(&rect), 2);
    return { rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top };
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
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), win32::lParamOf(&suggested));
}

// Moved to a monitor of `dpi` (96 or 144), the window and its controls are where the design
// puts them; a control in a container offset by the container's own place.
inline void expectDesignedLayout(HWND window, const WindowPixels &pixels, UINT dpi)
{
    changeDpi(window, dpi);
    const auto at
        = [dpi](const DesignedPlace &place) { return dpi == 96 ? place.at96 : place.at144; };
    const SIZE client = clientSize(window);
    const PixelRect &size = dpi == 96 ? pixels.at96 : pixels.at144;
    EXPECT_EQ(client.cx, size.width);
    EXPECT_EQ(client.cy, size.height);
    for (const DesignedPlace &place : pixels.places) {
        PixelRect expected = at(place);
        for (const DesignedPlace &container : pixels.places) {
            if (container.row == place.row->container) {
                expected.left += at(container).left;
                expected.top += at(container).top;
            }
        }
        EXPECT_EQ(placeOf(control(window, pixels.form, *place.row)), expected)
            << place.row->name << place.row->index;
    }
}

} // namespace korvane::testing
