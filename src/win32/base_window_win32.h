#pragma once

#include "message_parameter_win32.h"
#include "scoped_win32.h"
#include "windows_api.h"

#include <concepts>

namespace korvane::win32 {

// What BaseWindow needs of a window: the name its window class is registered under.
template <typename Window>
concept NamedWindowClass = requires
{
    {
        Window::className
        } -> std::convertible_to<const wchar_t *>;
};

// A window as a class: `this` is stored at WM_NCCREATE and every message goes to
// Derived::HandleMessage. The object owns its window: one the system has not destroyed yet
// goes with the object. The casts between the handle's slots and the object live here only.
template <typename Derived> class BaseWindow {
public:
    BaseWindow() = default;
    BaseWindow(const BaseWindow &) = delete;
    BaseWindow &operator=(const BaseWindow &) = delete;

    [[nodiscard]] HWND window() const { return m_window.get(); }

protected:
    ~BaseWindow()
    {
        // Derived is gone by now: the last messages of a window still open go to the
        // system's own handling while m_window destroys it.
        if (m_window)
            SetWindowLongPtrW(m_window.get(), GWLP_USERDATA, 0);
    }

    // Registers Derived::className on first use; false when the window could not be made.
    [[nodiscard]] bool createWindow(DWORD exStyle, DWORD style, HWND owner, HICON icon = nullptr)
    {
        static_assert(NamedWindowClass<Derived>);
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSEXW windowClass {};
        windowClass.cbSize = sizeof windowClass;
        if (!GetClassInfoExW(instance, Derived::className, &windowClass)) {
            windowClass.cbSize = sizeof windowClass;
            windowClass.lpfnWndProc = &BaseWindow::windowProc;
            windowClass.hInstance = instance;
            windowClass.hIcon = icon;
            windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
            windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
            windowClass.lpszClassName = Derived::className;
            if (!RegisterClassExW(&windowClass))
                return false;
        }
        return CreateWindowExW(exStyle, Derived::className, L"", style, CW_USEDEFAULT,
                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance,
                   static_cast<Derived *>(this))
            != nullptr;
    }

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        Derived *self = nullptr;
        if (message == WM_NCCREATE) {
            self = static_cast<Derived *>(
                messagePointer<const CREATESTRUCTW *>(lParam)->lpCreateParams);
            self->m_window.reset(hwnd);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        } else {
            self = reinterpret_cast<Derived *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        }
        if (!self)
            return DefWindowProcW(hwnd, message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            // The object may delete itself in its handler: forget it first.
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            (void)self->m_window.release();
            const LRESULT result = DefWindowProcW(hwnd, message, wParam, lParam);
            self->HandleMessage(message, wParam, lParam);
            return result;
        }
        return self->HandleMessage(message, wParam, lParam);
    }

    ScopedWindow m_window;
};

} // namespace korvane::win32
