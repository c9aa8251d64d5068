#pragma once

#include "core/form_design.h"
#include "scoped_win32.h"

#include "windows_api.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvane::win32 {

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
    [[nodiscard]] const ControlDesign *rowOf(HWND control) const;
    [[nodiscard]] const ControlDesign *rowOf(int id) const;
    [[nodiscard]] int id(const ControlDesign &row) const;

private:
    struct Entry {
        const ControlDesign *design;
        HWND window;
        int id;
    };

    const FormDesign *m_form = nullptr;
    std::vector<Entry> m_entries;
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
