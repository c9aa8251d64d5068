#pragma once

#include "base_window_win32.h"
#include "core/sys_info.h"
#include "form_win32.h"
#include "scoped_win32.h"

#include <map>
#include <string_view>

namespace korvane {

// The About window: one per process, without an owner the user can see (a hidden one keeps
// it out of the taskbar), and deleted when it closes, so that every show after a close
// loads it afresh.
class frmAbout final : public win32::BaseWindow<frmAbout> {
public:
    static constexpr const wchar_t *className = L"KorvaneAbout";

    // Loads the window and shows it, or brings the open one to the front.
    static void show(const SysInfoServices &services);
    // The open window; nullptr when there is none.
    [[nodiscard]] static frmAbout *instance();

    [[nodiscard]] HWND control(const ControlDesign &row) const { return m_controls.find(row); }
    [[nodiscard]] UINT dpi() const { return m_dpi; }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    explicit frmAbout(const SysInfoServices &services);
    ~frmAbout();

    void layout(UINT dpi, const RECT *suggested);
    LRESULT colourStatic(HDC dc, HWND control);

    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();

    SysInfoLauncher m_sysInfo;
    win32::ScopedWindow m_owner;
    win32::FormControls m_controls;
    std::map<std::uint32_t, win32::ScopedBrush> m_brushes;
    win32::ScopedIcon m_icon;
    UINT m_dpi = 96;
};

} // namespace korvane
