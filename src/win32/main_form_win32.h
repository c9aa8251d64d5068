#pragma once

#include "base_window_win32.h"
#include "core/main_form_services.h"
#include "core/power_actions.h"
#include "form_win32.h"

#include <string_view>

namespace korvane {

// The main window, built from its table: fixed size, no minimise or maximise box, a group
// frame with six buttons, and the clock in its caption.
class MainForm final : public win32::BaseWindow<MainForm> {
public:
    static constexpr const wchar_t *className = L"KorvaneMainForm";

    explicit MainForm(const MainFormServices &services);
    ~MainForm();

    // Makes the window (hidden); false when the system refused.
    [[nodiscard]] bool create();

    [[nodiscard]] bool ActionScheduled() const { return m_power.ActionScheduled(); }
    [[nodiscard]] HWND control(const ControlDesign &row) const { return m_controls.find(row); }
    [[nodiscard]] UINT dpi() const { return m_dpi; }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void layout(UINT dpi, const RECT *suggested);
    void onCommand(int id);

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Timer1_Timer();

    MainFormServices m_services;
    PowerActions m_power;
    win32::FormControls m_controls;
    UINT m_dpi = 96;
    // The control that had the focus when the window was last deactivated.
    HWND m_focus = nullptr;
};

} // namespace korvane
