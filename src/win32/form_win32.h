#pragma once

#include "core/form_design.h"
#include "scoped_win32.h"

#include "windows_api.h"

#include <string>
#include <string_view>

namespace korvane::win32 {

// A row's control id: its place in the table, so that GetDlgItem finds it from the row alone.
[[nodiscard]] int controlId(const FormDesign &form, const ControlDesign &row);

// The child windows of one designed window, made from its table: the only place where a
// row becomes a Win32 control. A control's rectangle is its container's offset plus its own
// rectangle, each scaled on its own, as a nested control would be.
class FormControls {
public:
    // Makes the controls in tab order (Win32's tab order is the creation order); the
    // group frames go to the back so that they never paint over their buttons.
    void create(
        HWND parent, const FormDesign &design, const ControlDesign *defaultButton = nullptr);

    // Places every control and gives it the message font for `dpi`.
    void layout(UINT dpi);
    // The window's designed client area at `dpi`.
    [[nodiscard]] SIZE clientSize(UINT dpi) const;

    [[nodiscard]] HWND find(const ControlDesign &row) const;
    // nullptr for an id or a window that is none of the table's controls.
    [[nodiscard]] const ControlDesign *rowOf(int id) const;
    [[nodiscard]] const ControlDesign *rowOf(HWND control) const;
    [[nodiscard]] int id(const ControlDesign &row) const { return controlId(*m_form, row); }

private:
    HWND m_parent = nullptr;
    const FormDesign *m_form = nullptr;
    ScopedFont m_font;
};

// UTF-8 to UTF-16, with "\n" as the "\r\n" that Win32 text controls break lines at.
[[nodiscard]] std::wstring controlText(std::string_view text);

// 0xRRGGBB as a COLORREF.
[[nodiscard]] constexpr COLORREF toColorRef(std::uint32_t rgb)
{
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

} // namespace korvane::win32
