#pragma once

#include "core/frm_about_design.h"
#include "core/sys_info.h"
#include "form_window_win32.h"
#include "scoped_win32.h"

#include <map>

namespace korvane::win32 {

// The About window: one per process, without an owner the user can see (a hidden one keeps
// it out of the taskbar), and deleted when it closes, so that every show after a close
// loads it afresh.
class frmAbout final : public FormWindow<frmAbout> {
public:
    static constexpr const wchar_t *className = L"KorvaneAbout";
    static constexpr const FormDesign &design = frmAboutDesign;
    // OK is both the default and the cancel button.
    static constexpr const ControlDesign *defaultButton = &frm_about::cmdOK;
    static constexpr const ControlDesign *cancelButton = &frm_about::cmdOK;

    // Loads the window and shows it, or brings the open one to the front.
    static void show(const SysInfoServices &services);

private:
    friend FormWindow<frmAbout>;

    explicit frmAbout(const SysInfoServices &services);
    ~frmAbout();

    void onCreated() { Form_Load(); }
    void onClick(const ControlDesign &row);
    void onLayout(UINT dpi);
    [[nodiscard]] std::optional<POINT> openingPlace(UINT dpi) const;
    void onDestroyed() { delete this; }
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT colourStatic(HDC dc, HWND control);

    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();

    SysInfoLauncher m_sysInfo;
    ScopedWindow m_owner;
    std::map<std::uint32_t, ScopedBrush> m_brushes;
    ScopedIcon m_icon;
};

} // namespace korvane::win32
