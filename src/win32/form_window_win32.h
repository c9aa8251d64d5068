#pragma once

#include "base_window_win32.h"
#include "core/utf.h"
#include "dpi_win32.h"
#include "form_win32.h"
#include "top_level_win32.h"

#include <optional>

namespace korvane::win32 {

// A top-level window built from its design table: its controls, their layout at the
// window's DPI (again on WM_DPICHANGED), the dialog keys, the focus kept while the window is
// inactive, and its place among the program's open windows. Derived keeps only its handlers:
//   static constexpr const FormDesign &design;
//   static constexpr const ControlDesign *defaultButton, *cancelButton;  // Enter, Esc
//   void onClick(const ControlDesign &row);
// and where it needs them, hides the hooks below (befriending FormWindow<Derived>).
template <typename Derived> class FormWindow : public BaseWindow<Derived> {
public:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
    {
        switch (message) {
        case WM_CREATE:
            TopLevelWindows::opened(this->m_hwnd);
            SetWindowTextW(this->m_hwnd, widen(Derived::design.caption).c_str());
            m_controls.create(this->m_hwnd, Derived::design, Derived::defaultButton);
            layout(windowDpi(this->m_hwnd), nullptr);
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
            layout(HIWORD(wParam), this->template messagePointer<const RECT *>(lParam));
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (focus && IsChild(this->m_hwnd, focus))
                    m_focus = focus;
            }
            break;
        case WM_SETFOCUS:
            // Not a dialog: hand the focus on to a control, as a dialog would.
            SetFocus(m_focus && IsWindow(m_focus)
                    ? m_focus
                    : GetNextDlgTabItem(this->m_hwnd, nullptr, FALSE));
            return 0;
        case WM_DESTROY:
            TopLevelWindows::closed(this->m_hwnd);
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
        return DefWindowProcW(this->m_hwnd, message, wParam, lParam);
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
            SetWindowPos(this->m_hwnd, nullptr, suggested->left, suggested->top, 0, 0,
                SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
            setClientSize(this->m_hwnd, client, dpi);
            return;
        }
        const std::optional<POINT> place = derived().openingPlace(dpi);
        setClientSize(this->m_hwnd, client, dpi, place ? &*place : nullptr);
    }

    FormControls m_controls;
    // The control that had the focus when the window was last deactivated.
    HWND m_focus = nullptr;
};

} // namespace korvane::win32
