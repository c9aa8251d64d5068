#include "form_win32.h"

#include "core/utf.h"
#include "dpi_win32.h"
#include "message_parameter_win32.h"

#include <commctrl.h>

#include <algorithm>

namespace korvane::win32 {

namespace {

constexpr int firstControlId = 1000;

struct ControlClass {
    const wchar_t *className;
    DWORD style;
};

ControlClass controlClass(const ControlDesign &row, bool isDefault)
{
    const DWORD tabStop = row.tabIndex != noTabStop ? WS_TABSTOP : 0;
    switch (row.kind) {
    case ControlKind::Frame:
        return { L"BUTTON", BS_GROUPBOX };
    case ControlKind::Button:
        return { L"BUTTON", (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | tabStop };
    case ControlKind::Label:
        return { L"STATIC", SS_LEFT | SS_NOPREFIX };
    case ControlKind::Picture:
        // Centred and not sized to the icon, so that it keeps the designed rectangle.
        return { L"STATIC", SS_ICON | SS_CENTERIMAGE | tabStop };
    case ControlKind::Line:
        // An empty static painted in the line's colour (WM_CTLCOLORSTATIC).
        return { L"STATIC", SS_LEFT };
    case ControlKind::Timer:
        break;
    }
    return { nullptr, 0 };
}

// The dialog manager makes a push button the default one when the Tab key moves the focus
// onto it, and Enter then presses it. Only the designed default may be one: the others say
// they are no push button that could be made the default, and stay clickable buttons.
LRESULT CALLBACK neverDefault(
    HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_GETDLGCODE)
        return DefSubclassProc(button, message, wParam, lParam) & ~DLGC_UNDEFPUSHBUTTON;
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(button, neverDefault, 0);
    return DefSubclassProc(button, message, wParam, lParam);
}

} // namespace

std::wstring controlText(std::string_view text)
{
    std::wstring wide = widen(text);
    for (std::size_t at = wide.find(L'\n'); at != std::wstring::npos;
         at = wide.find(L'\n', at + 2)) {
        if (at == 0 || wide[at - 1] != L'\r')
            wide.insert(at, 1, L'\r');
    }
    return wide;
}

int controlId(const FormDesign &form, const ControlDesign &row)
{
    return firstControlId
        + static_cast<int>(std::ranges::find(form.controls, &row) - form.controls.begin());
}

void FormControls::create(HWND parent, const FormDesign &design, const ControlDesign *defaultButton)
{
    m_parent = parent;
    m_form = &design;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    for (const ControlDesign *row : inTabOrder(design)) {
        const ControlClass kind = controlClass(*row, row == defaultButton);
        if (!kind.className)
            continue;
        const HWND window = CreateWindowExW(0, kind.className, controlText(row->caption).c_str(),
            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | kind.style, 0, 0, 0, 0, parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id(*row))), instance, nullptr);
        if (!window)
            continue;
        if (row->kind == ControlKind::Button && row != defaultButton)
            SetWindowSubclass(window, neverDefault, 0, 0);
    }
    for (const ControlDesign *row : design.controls) {
        if (row->kind == ControlKind::Frame)
            SetWindowPos(
                find(*row), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void FormControls::layout(UINT dpi)
{
    ScopedFont font = messageFont(dpi);
    for (const ControlDesign *row : m_form->controls) {
        const HWND window = find(*row);
        if (!window)
            continue;
        const TwipsRect &rect = row->rect;
        int left = twipsToPixels(rect.left, dpi);
        int top = twipsToPixels(rect.top, dpi);
        if (const ControlDesign *container = row->container) {
            left += twipsToPixels(container->rect.left, dpi);
            top += twipsToPixels(container->rect.top, dpi);
        }
        SetWindowPos(window, nullptr, left, top, twipsToPixels(rect.width, dpi),
            twipsToPixels(rect.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(window, WM_SETFONT, wParamOf(font.get()), TRUE);
    }
    // Only now that no control uses the old font any more.
    m_font = std::move(font);
}

SIZE FormControls::clientSize(UINT dpi) const
{
    return { twipsToPixels(m_form->client.width, dpi), twipsToPixels(m_form->client.height, dpi) };
}

HWND FormControls::find(const ControlDesign &row) const
{
    return GetDlgItem(m_parent, id(row));
}

const ControlDesign *FormControls::rowOf(int id) const
{
    const int index = id - firstControlId;
    if (index < 0 || index >= static_cast<int>(m_form->controls.size()))
        return nullptr;
    return m_form->controls[static_cast<std::size_t>(index)];
}

const ControlDesign *FormControls::rowOf(HWND control) const
{
    return control && GetParent(control) == m_parent ? rowOf(GetDlgCtrlID(control)) : nullptr;
}

} // namespace korvane::win32
