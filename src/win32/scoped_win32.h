#pragma once

#include "windows_api.h"

#include <utility>

namespace korvane::win32 {

// One owner per handle kind, released by its destructor, so that no path leaks a handle.
template <typename Handle, typename Traits> class Scoped {
public:
    Scoped() = default;
    explicit Scoped(Handle handle)
        : m_handle(handle)
    {
    }
    ~Scoped() { reset(); }

    Scoped(Scoped &&other) noexcept
        : m_handle(std::exchange(other.m_handle, Traits::invalid()))
    {
    }
    Scoped &operator=(Scoped &&other) noexcept
    {
        if (this != &other)
            reset(std::exchange(other.m_handle, Traits::invalid()));
        return *this;
    }
    Scoped(const Scoped &) = delete;
    Scoped &operator=(const Scoped &) = delete;

    [[nodiscard]] Handle get() const { return m_handle; }
    [[nodiscard]] explicit operator bool() const { return m_handle != Traits::invalid(); }

    void reset(Handle handle = Traits::invalid())
    {
        if (m_handle != Traits::invalid())
            Traits::close(m_handle);
        m_handle = handle;
    }

    // For a handle the system has already closed.
    Handle release() { return std::exchange(m_handle, Traits::invalid()); }

private:
    Handle m_handle = Traits::invalid();
};

template <typename Object> struct GdiObjectTraits {
    static Object invalid() { return nullptr; }
    static void close(Object object) { DeleteObject(object); }
};

struct WindowTraits {
    static HWND invalid() { return nullptr; }
    static void close(HWND window) { DestroyWindow(window); }
};

struct IconTraits {
    static HICON invalid() { return nullptr; }
    static void close(HICON icon) { DestroyIcon(icon); }
};

using ScopedIcon = Scoped<HICON, IconTraits>;
using ScopedFont = Scoped<HFONT, GdiObjectTraits<HFONT>>;
using ScopedBrush = Scoped<HBRUSH, GdiObjectTraits<HBRUSH>>;
using ScopedWindow = Scoped<HWND, WindowTraits>;

// GetDC's device context, given back to the window it came from (nullptr: the screen).
class ScopedDc {
public:
    explicit ScopedDc(HWND window)
        : m_window(window)
        , m_dc(GetDC(window))
    {
    }
    ~ScopedDc()
    {
        if (m_dc)
            ReleaseDC(m_window, m_dc);
    }
    ScopedDc(const ScopedDc &) = delete;
    ScopedDc &operator=(const ScopedDc &) = delete;

    [[nodiscard]] HDC get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

} // namespace korvane::win32
