#pragma once

#include "core/main_form_design.h"
#include "core/main_form_services.h"
#include "core/power_actions.h"
#include "form_window_win32.h"

namespace korvane::win32 {

// The main window, built from its table: fixed size, no minimise or maximise box, a group
// frame with six buttons, and the clock in its caption.
class MainForm final : public FormWindow<MainForm> {
public:
    static constexpr const wchar_t *className = L"KorvaneMainForm";
    static constexpr const FormDesign &design = mainFormDesign;
    // Enter and Esc press no button of this window.
    static constexpr const ControlDesign *defaultButton = nullptr;
    static constexpr const ControlDesign *cancelButton = nullptr;

    explicit MainForm(const MainFormServices &services);

    // Makes the window (hidden); false when the system refused.
    [[nodiscard]] bool create();

    [[nodiscard]] bool ActionScheduled() const { return m_power.ActionScheduled(); }

private:
    friend FormWindow<MainForm>;

    void onCreated();
    void onClick(const ControlDesign &row);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Timer1_Timer();

    MainFormServices m_services;
    PowerActions m_power;
};

} // namespace korvane::win32
