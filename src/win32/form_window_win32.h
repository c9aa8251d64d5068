#pragma once

#include "base_window_win32.h"
#include "core/utf.h"
#include "dpi_win32.h"
#include "form_win32.h"
#include "message_parameter_win32.h"
#include "top_level_win32.h"

#include <concepts>
#include <optional>

namespace korvane::win32 {

// What FormWindow needs of a window besides its handlers: its class name, its design table,
// and the buttons that Enter and Esc press (nullptr: none).
template <typename Window>
concept DesignedWindow = NamedWindowClass<Window> && requires
{
    {
        Window::design
        } -> std::same_as<const FormDesign &>;
    {
        Window::defaultButton
        } -> std::convertible_to<const ControlDesign *>;
    {
        Window::cancelButton
        } -> std::convertible_to<const ControlDesign *>;
};

// A top-level window built from its design table: its controls, their layout at the
// window's DPI (again on WM_DPICHANGED), the dialog keys, the focus kept while the window is
// inactive, and its place among the program's open windows. Derived is a DesignedWindow
// that keeps only its handlers, `void onClick(const ControlDesign &row)` and, where it needs
// them, the hooks below, hidden (befriending FormWindow<Derived>).
template <typename Derived> class FormWindow : public BaseWindow<Derived> {
public:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
    {
        // Checked here, where Derived is complete.
        static_assert(DesignedWindow<Derived>);
        switch (message) {
        case WM_CREATE:
            TopLevelWindows::opened(this->window());
            SetWindowTextW(this->window(), widen(Derived::design.caption).c_str());
            m_controls.create(this->window(), Derived::design, Derived::defaultButton);
            layout(windowDpi(this->window()), nullptr);
            derived().onCreated();
            return 0;
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) {
                if (const ControlDesign *row = clicked(LOWORD(wParam)))
                    derived().onClick(*row);
            }
            return 0;
        case DM_GETDEFID:
            // Enter presses the focused button, else the default one, as in a dialog.
            if (const ControlDesign *button = enterButton())
                return MAKELRESULT(m_controls.id(*button), DC_HASDEFID);
            break;
        case WM_DPICHANGED:
            layout(HIWORD(wParam), messagePointer<const RECT *>(lParam));
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (focus && IsChild(this->window(), focus))
                    m_focus = focus;
            }
            break;
        case WM_SETFOCUS:
            // Not a dialog: hand the focus on to a control, as a dialog would.
            SetFocus(m_focus && IsWindow(m_focus)
                    ? m_focus
                    : GetNextDlgTabItem(this->window(), nullptr, FALSE));
            return 0;
        case WM_DESTROY:
            TopLevelWindows::closed(this->window());
            return 0;
        case WM_NCDESTROY:
            derived().onDestroyed();
            return 0;
        default:
            break;
        }
        return derived().onMessage(message, wParam, lParam);
    }

protected:
    ~FormWindow()
    {
        // A window that goes with its object is past telling Derived: leave the list here.
        if (this->window())
            TopLevelWindows::closed(this->window());
    }

    [[nodiscard]] const FormControls &controls() const { return m_controls; }

    // The hooks, doing nothing unless Derived hides them.
    void onCreated() { }
    // After the controls are placed at `dpi`.
    void onLayout(UINT) { }
    // Where the client area opens on the screen; nullopt leaves it to the system.
    [[nodiscard]] std::optional<POINT> openingPlace(UINT) const { return std::nullopt; }
    // The window is gone; the object may delete itself.
    void onDestroyed() { }
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam)
    {
        return DefWindowProcW(this->window(), message, wParam, lParam);
    }

private:
    [[nodiscard]] Derived &derived() { return static_cast<Derived &>(*this); }

    // Enter and Esc come as IDOK and IDCANCEL, which no control of the table has.
    [[nodiscard]] const ControlDesign *clicked(int id) const
    {
        if (id == IDOK)
            return Derived::defaultButton;
        if (id == IDCANCEL)
            return Derived::cancelButton;
        return m_controls.rowOf(id);
    }

    // nullptr in a window without a default button, where Enter presses nothing.
    [[nodiscard]] const ControlDesign *enterButton() const
    {
        const ControlDesign *button = Derived::defaultButton;
        const ControlDesign *focused = m_controls.rowOf(GetFocus());
        if (button && focused && focused->kind == ControlKind::Button)
            button = focused;
        return button;
    }

    void layout(UINT dpi, const RECT *suggested)
    {
        m_controls.layout(dpi);
        derived().onLayout(dpi);
        const SIZE client = m_controls.clientSize(dpi);
        if (suggested) {
            SetWindowPos(this->window(), nullptr, suggested->left, suggested->top, 0, 0,
                SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
            setClientSize(this->window(), client, dpi);
            return;
        }
        const std::optional<POINT> place = derived().openingPlace(dpi);
        setClientSize(this->window(), client, dpi, place ? &*place : nullptr);
    }

    FormControls m_controls;
    // The control that had the focus when the window was last deactivated.
    HWND m_focus = nullptr;
};

} // namespace korvane::win32
