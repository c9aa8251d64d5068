#include "frm_about_win32.h"

#include "core/about_texts.h"
#include "core/app_record.h"
#include "core/frm_about_design.h"
#include "core/utf.h"
#include "dpi_win32.h"
#include "top_level_win32.h"

namespace korvane {

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

frmAbout *frmAbout::instance()
{
    return openAbout;
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
        ShowWindow(about->m_hwnd, SW_SHOWNORMAL);
    }
    if (IsIconic(openAbout->m_hwnd))
        ShowWindow(openAbout->m_hwnd, SW_RESTORE);
    SetForegroundWindow(openAbout->m_hwnd);
    SetActiveWindow(openAbout->m_hwnd);
}

LRESULT frmAbout::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        win32::TopLevelWindows::opened();
        win32::useDialogKeys(m_hwnd);
        SetWindowTextW(m_hwnd, widen(frmAboutDesign.caption).c_str());
        m_controls.create(m_hwnd, frmAboutDesign, &frm_about::cmdOK);
        layout(win32::windowDpi(m_hwnd), nullptr);
        Form_Load();
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED)
            return 0;
        // Enter and Esc come as IDOK and IDCANCEL: OK is both the default and the cancel.
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL
            || LOWORD(wParam) == m_controls.id(frm_about::cmdOK))
            cmdOK_Click();
        else if (LOWORD(wParam) == m_controls.id(frm_about::cmdSysInfo))
            cmdSysInfo_Click();
        return 0;
    case DM_GETDEFID:
        return MAKELRESULT(m_controls.id(frm_about::cmdOK), DC_HASDEFID);
    case WM_CTLCOLORSTATIC:
        return colourStatic(messagePointer<HDC>(wParam), messagePointer<HWND>(lParam));
    case WM_SETFOCUS:
        SetFocus(m_controls.find(frm_about::cmdOK));
        return 0;
    case WM_DPICHANGED:
        layout(HIWORD(wParam), messagePointer<const RECT *>(lParam));
        return 0;
    case WM_CLOSE:
        cmdOK_Click();
        return 0;
    case WM_DESTROY:
        RemovePropW(m_hwnd, L"korvane.dialogKeys");
        return 0;
    case WM_NCDESTROY:
        delete this;
        win32::TopLevelWindows::closed();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

void frmAbout::layout(UINT dpi, const RECT *suggested)
{
    m_dpi = dpi;
    m_controls.layout(dpi);
    // The application icon at 32 pixels of 96 dpi, in the size the screen needs.
    const int iconSize = MulDiv(32, static_cast<int>(dpi), 96);
    win32::ScopedIcon icon(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
        MAKEINTRESOURCEW(1), IMAGE_ICON, iconSize, iconSize, LR_DEFAULTCOLOR)));
    SendMessageW(m_controls.find(frm_about::picIcon), STM_SETICON, wParamOf(icon.get()), 0);
    m_icon = std::move(icon);
    const SIZE client = m_controls.clientSize(dpi);
    if (suggested) {
        SetWindowPos(m_hwnd, nullptr, suggested->left, suggested->top, 0, 0,
            SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
        win32::setClientSize(m_hwnd, client, dpi);
        return;
    }
    // Opens at a fixed place from the screen's top-left corner, not centred on anything.
    const POINT origin { win32::twipsToPixels(frmAboutPlacement.left, dpi),
        win32::twipsToPixels(frmAboutPlacement.top, dpi) };
    win32::setClientSize(m_hwnd, client, dpi, &origin);
}

LRESULT frmAbout::colourStatic(HDC dc, HWND control)
{
    const ControlDesign *design = m_controls.rowOf(control);
    if (!design || design->colour == defaultColour)
        return DefWindowProcW(m_hwnd, WM_CTLCOLORSTATIC, wParamOf(dc), lParamOf(control));
    if (design->kind == ControlKind::Line) {
        auto &brush = m_brushes[design->colour];
        if (!brush)
            brush.reset(CreateSolidBrush(win32::toColorRef(design->colour)));
        return pointerResult(brush.get());
    }
    SetTextColor(dc, win32::toColorRef(design->colour));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return pointerResult(GetSysColorBrush(COLOR_BTNFACE));
}

void frmAbout::Form_Load()
{
    SetWindowTextW(m_hwnd, widen(aboutCaption()).c_str());
    SetWindowTextW(m_controls.find(frm_about::lblVersion), widen(versionLine()).c_str());
    SetWindowTextW(m_controls.find(frm_about::lblTitle), widen(app::title).c_str());
}

void frmAbout::cmdOK_Click()
{
    DestroyWindow(m_hwnd);
}

void frmAbout::cmdSysInfo_Click()
{
    m_sysInfo.StartSysInfo();
}

} // namespace korvane
