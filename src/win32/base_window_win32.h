#pragma once

#include "windows_api.h"

#include <cstdint>

namespace korvane::win32 {

// A window as a class: `this` is stored at WM_NCCREATE and every message goes to
// Derived::HandleMessage. The casts between the handle's slots and the object live here only.
template <typename Derived> class BaseWindow {
public:
    BaseWindow() = default;
    BaseWindow(const BaseWindow &) = delete;
    BaseWindow &operator=(const BaseWindow &) = delete;

    [[nodiscard]] HWND window() const { return m_hwnd; }

protected:
    ~BaseWindow() = default;

    // Registers Derived::className on first use; false when the window could not be made.
    [[nodiscard]] bool createWindow(DWORD exStyle, DWORD style, HWND owner, HICON icon = nullptr)
    {
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

    // A handle or pointer carried in a message parameter, and one handed back as a result.
    template <typename Pointer>
    [[nodiscard]] static Pointer messagePointer(std::uintptr_t parameter)
    {
        return reinterpret_cast<Pointer>(parameter);
    }
    [[nodiscard]] static LRESULT pointerResult(const void *pointer)
    {
        return reinterpret_cast<LRESULT>(pointer);
    }
    [[nodiscard]] static WPARAM wParamOf(const void *pointer)
    {
        return reinterpret_cast<WPARAM>(pointer);
    }
    [[nodiscard]] static LPARAM lParamOf(const void *pointer)
    {
        return reinterpret_cast<LPARAM>(pointer);
    }

    HWND m_hwnd = nullptr;

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        Derived *self = nullptr;
        if (message == WM_NCCREATE) {
            self = static_cast<Derived *>(
                reinterpret_cast<const CREATESTRUCTW *>(lParam)->lpCreateParams);
            self->m_hwnd = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        } else {
            self = reinterpret_cast<Derived *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        }
        if (!self)
            return DefWindowProcW(hwnd, message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            // The object may delete itself in its handler: forget it first.
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->m_hwnd = nullptr;
            const LRESULT result = DefWindowProcW(hwnd, message, wParam, lParam);
            self->HandleMessage(message, wParam, lParam);
            return result;
        }
        return self->HandleMessage(message, wParam, lParam);
    }
};

} // namespace korvane::win32
