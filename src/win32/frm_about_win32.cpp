#include "frm_about_win32.h"

#include "core/about_texts.h"
#include "core/app_record.h"
#include "message_parameter_win32.h"

namespace korvane::win32 {

namespace {

frmAbout *openAbout = nullptr;

} // namespace

frmAbout::frmAbout(const SysInfoServices &services)
    : m_sysInfo(services)
    // Owned windows stay out of the taskbar; this owner is never shown.
    , m_owner(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
          GetModuleHandleW(nullptr), nullptr))
{
}

frmAbout::~frmAbout()
{
    if (openAbout == this)
        openAbout = nullptr;
}

void frmAbout::show(const SysInfoServices &services)
{
    if (!openAbout) {
        auto *about = new frmAbout(services);
        if (!about->createWindow(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT,
                WS_POPUP | WS_CAPTION | WS_SYSMENU, about->m_owner.get())) {
            delete about;
            return;
        }
        openAbout = about;
        ShowWindow(about->window(), SW_SHOWNORMAL);
    }
    if (IsIconic(openAbout->window()))
        ShowWindow(openAbout->window(), SW_RESTORE);
    SetForegroundWindow(openAbout->window());
    SetActiveWindow(openAbout->window());
}

LRESULT frmAbout::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CTLCOLORSTATIC)
        return colourStatic(messagePointer<HDC>(wParam), messagePointer<HWND>(lParam));
    return DefWindowProcW(window(), message, wParam, lParam);
}

void frmAbout::onClick(const ControlDesign &row)
{
    if (&row == &frm_about::cmdOK)
        cmdOK_Click();
    else if (&row == &frm_about::cmdSysInfo)
        cmdSysInfo_Click();
}

void frmAbout::onLayout(UINT dpi)
{
    // The application icon at 32 pixels of 96 dpi, in the size the screen needs.
    const int iconSize = MulDiv(32, static_cast<int>(dpi), 96);
    ScopedIcon icon(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1),
        IMAGE_ICON, iconSize, iconSize, LR_DEFAULTCOLOR)));
    SendMessageW(controls().find(frm_about::picIcon), STM_SETICON, wParamOf(icon.get()), 0);
    m_icon = std::move(icon);
}

std::optional<POINT> frmAbout::openingPlace(UINT dpi) const
{
    // A fixed place from the screen's top-left corner, not centred on anything.
    return POINT { twipsToPixels(frmAboutPlacement.left, dpi),
        twipsToPixels(frmAboutPlacement.top, dpi) };
}

LRESULT frmAbout::colourStatic(HDC dc, HWND control)
{
    const ControlDesign *row = controls().rowOf(control);
    if (!row || row->colour == defaultColour)
        return DefWindowProcW(window(), WM_CTLCOLORSTATIC, wParamOf(dc), lParamOf(control));
    if (row->kind == ControlKind::Line) {
        auto &brush = m_brushes[row->colour];
        if (!brush)
            brush.reset(CreateSolidBrush(toColorRef(row->colour)));
        return pointerResult(brush.get());
    }
    SetTextColor(dc, toColorRef(row->colour));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return pointerResult(GetSysColorBrush(COLOR_BTNFACE));
}

void frmAbout::Form_Load()
{
    SetWindowTextW(window(), widen(aboutCaption()).c_str());
    SetWindowTextW(controls().find(frm_about::lblVersion), widen(versionLine()).c_str());
    SetWindowTextW(controls().find(frm_about::lblTitle), widen(app::title).c_str());
}

void frmAbout::cmdOK_Click()
{
    DestroyWindow(window());
}

void frmAbout::cmdSysInfo_Click()
{
    m_sysInfo.StartSysInfo();
}

} // namespace korvane::win32
