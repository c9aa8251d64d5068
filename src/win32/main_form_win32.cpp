#include "main_form_win32.h"

#include "core/clock_caption.h"
#include "core/message_box.h"
#include "core/texts.h"
#include "frm_about_win32.h"

#include <array>
#include <utility>

namespace korvane::win32 {

namespace {

constexpr UINT_PTR timer1Id = 1;

} // namespace

MainForm::MainForm(const MainFormServices &services)
    : m_services(services)
    , m_power(services.power())
{
}

bool MainForm::create()
{
    const HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    return createWindow(0, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, nullptr, icon);
}

void MainForm::onCreated()
{
    SetTimer(window(), timer1Id, timer1Interval, nullptr);
}

LRESULT MainForm::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && wParam == timer1Id) {
        Timer1_Timer();
        return 0;
    }
    return DefWindowProcW(window(), message, wParam, lParam);
}

void MainForm::onClick(const ControlDesign &row)
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
    for (const auto &[button, handler] : handlers) {
        if (button == &row)
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
    frmAbout::show(m_services.sysInfo());
}

void MainForm::Command6_Click()
{
    m_services.messageBox.show(std::string(texts::sponsorNotice));
}

void MainForm::Timer1_Timer()
{
    SetWindowTextW(window(), widen(clockCaption(m_services.clock, m_services.locale)).c_str());
}

} // namespace korvane::win32
