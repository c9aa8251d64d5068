#include "main_form_win32.h"

#include "core/clock_caption.h"
#include "core/main_form_design.h"
#include "core/message_box.h"
#include "core/texts.h"
#include "core/utf.h"
#include "dpi_win32.h"
#include "frm_about_win32.h"
#include "top_level_win32.h"

#include <array>
#include <utility>

namespace korvane {

namespace {

constexpr UINT_PTR timer1Id = 1;

} // namespace

MainForm::MainForm(const MainFormServices &services)
    : m_services(services)
    , m_power({ services.inputBox, services.messageBox, services.runner, services.locale,
          services.shutdownCodes })
{
}

MainForm::~MainForm()
{
    if (m_hwnd)
        DestroyWindow(m_hwnd);
}

bool MainForm::create()
{
    const HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    return createWindow(0, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, nullptr, icon);
}

LRESULT MainForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        win32::TopLevelWindows::opened();
        win32::useDialogKeys(m_hwnd);
        SetWindowTextW(m_hwnd, widen(mainFormDesign.caption).c_str());
        m_controls.create(m_hwnd, mainFormDesign);
        layout(win32::windowDpi(m_hwnd), nullptr);
        SetTimer(m_hwnd, timer1Id, timer1Interval, nullptr);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED)
            onCommand(LOWORD(wParam));
        return 0;
    case WM_TIMER:
        if (wParam == timer1Id)
            Timer1_Timer();
        return 0;
    case WM_DPICHANGED:
        layout(HIWORD(wParam), messagePointer<const RECT *>(lParam));
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (focus && IsChild(m_hwnd, focus))
                m_focus = focus;
        }
        break;
    case WM_SETFOCUS:
        // A window is not a dialog: hand the focus on to a button, as a dialog would.
        SetFocus(
            m_focus && IsWindow(m_focus) ? m_focus : GetNextDlgTabItem(m_hwnd, nullptr, FALSE));
        return 0;
    case WM_DESTROY:
        KillTimer(m_hwnd, timer1Id);
        RemovePropW(m_hwnd, L"korvane.dialogKeys");
        return 0;
    case WM_NCDESTROY:
        win32::TopLevelWindows::closed();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

void MainForm::layout(UINT dpi, const RECT *suggested)
{
    m_dpi = dpi;
    m_controls.layout(dpi);
    const SIZE client = m_controls.clientSize(dpi);
    if (suggested) {
        SetWindowPos(m_hwnd, nullptr, suggested->left, suggested->top, 0, 0,
            SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
    }
    win32::setClientSize(m_hwnd, client, dpi);
}

void MainForm::onCommand(int id)
{
    using Handler = void (MainForm::*)();
    static constexpr std::array<std::pair<const ControlDesign *, Handler>, 6> handlers { {
        { &main_form::Command1, &MainForm::Command1_Click },
        { &main_form::Command2, &MainForm::Command2_Click },
        { &main_form::Command3, &MainForm::Command3_Click },
        { &main_form::Command4, &MainForm::Command4_Click },
        { &main_form::Command5, &MainForm::Command5_Click },
        { &main_form::Command6, &MainForm::Command6_Click },
    } };
    // Enter and Esc arrive as IDOK and IDCANCEL, which no control of this window has.
    const ControlDesign *design = m_controls.rowOf(id);
    if (!design)
        return;
    for (const auto &[row, handler] : handlers) {
        if (row == design)
            (this->*handler)();
    }
}

void MainForm::Command1_Click()
{
    m_power.schedule(PowerAction::Shutdown);
}

void MainForm::Command2_Click()
{
    m_power.schedule(PowerAction::Restart);
}

void MainForm::Command3_Click()
{
    m_power.cancel();
}

void MainForm::Command4_Click()
{
    // Ends the process without asking; a shutdown already handed over stays pending.
    PostQuitMessage(0);
}

void MainForm::Command5_Click()
{
    frmAbout::show(SysInfoServices {
        m_services.registry, m_services.files, m_services.runner, m_services.messageBox });
}

void MainForm::Command6_Click()
{
    m_services.messageBox.show(std::string(texts::sponsorNotice));
}

void MainForm::Timer1_Timer()
{
    SetWindowTextW(m_hwnd, widen(clockCaption(m_services.clock, m_services.locale)).c_str());
}

} // namespace korvane
