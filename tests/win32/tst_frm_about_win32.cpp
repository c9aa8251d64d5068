#include "core/fakes.h"
#include "core/frm_about_design.h"
#include "core/sys_info.h"
#include "win32/frm_about_win32.h"
#include "win32/window_test.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace korvane::win32 {
namespace {

using testing::windowText;

class Win32About : public ::testing::Test {
protected:
    void SetUp() override
    {
        frmAbout::show({ registry, files, runner, messageBox });
        about = testing::threadWindow(frmAbout::className);
        ASSERT_NE(about, nullptr);
    }

    void TearDown() override
    {
        if (IsWindow(about))
            DestroyWindow(about);
    }

    [[nodiscard]] HWND control(const ControlDesign &row) const
    {
        return testing::control(about, frmAboutDesign, row);
    }

    testing::FakeRegistry registry;
    testing::FakeFileLookup files;
    testing::FakeCommandRunner runner;
    testing::FakeMessageBox messageBox;
    HWND about = nullptr;
};

TEST_F(Win32About, LoadFillsCaptionVersionAndTitle)
{
    EXPECT_EQ(windowText(about), "关于 Korvane");
    EXPECT_EQ(windowText(control(frm_about::lblVersion)), "版本 " KORVANE_VERSION);
    EXPECT_EQ(windowText(control(frm_about::lblTitle)), "Korvane");
    for (const ControlDesign *row : { &frm_about::lblDescription, &frm_about::lblDisclaimer,
             &frm_about::cmdOK, &frm_about::cmdSysInfo })
        EXPECT_EQ(windowText(control(*row)), narrow(controlText(row->caption))) << row->name;
    EXPECT_NE(SendMessageW(control(frm_about::picIcon), STM_GETICON, 0, 0), 0);
}

TEST_F(Win32About, DialogFrameOutOfTheTaskbar)
{
    const auto style = GetWindowLongPtrW(about, GWL_STYLE);
    const auto exStyle = GetWindowLongPtrW(about, GWL_EXSTYLE);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(exStyle & WS_EX_DLGMODALFRAME);
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
    // Owned by a window the user never sees, which keeps it out of the taskbar.
    const HWND owner = GetWindow(about, GW_OWNER);
    ASSERT_NE(owner, nullptr);
    EXPECT_FALSE(IsWindowVisible(owner));
    EXPECT_EQ(
        GetWindowLongPtrW(control(frm_about::cmdOK), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
}

class Win32AboutDpi : public Win32About, public ::testing::WithParamInterface<UINT> { };

TEST_P(Win32AboutDpi, GeometryFollowsTheWindowsDpi)
{
    testing::expectDesignedLayout(about, testing::frmAboutPixels, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Dpi, Win32AboutDpi, ::testing::Values(96U, 144U));

TEST_F(Win32About, OpensAtItsPlaceOnTheScreen)
{
    POINT origin {};
    ClientToScreen(about, &origin);
    EXPECT_EQ(origin.x, testing::frmAboutPixels.at96.left);
    EXPECT_EQ(origin.y, testing::frmAboutPixels.at96.top);
}

TEST_F(Win32About, ColoursFollowTheTable)
{
    const ScopedDc window(about);
    const HDC dc = window.get();
    for (const ControlDesign *row : frmAboutDesign.controls) {
        if (row->colour == defaultColour)
            continue;
        SCOPED_TRACE(std::string(row->name) + " " + std::to_string(row->index));
        const auto brush = win32::messagePointer<HBRUSH>(SendMessageW(
            about, WM_CTLCOLORSTATIC, win32::wParamOf(dc), win32::lParamOf(control(*row))));
        if (row->kind == ControlKind::Line) {
            LOGBRUSH colour {};
            ASSERT_TRUE(GetObjectW(brush, sizeof colour, &colour));
            EXPECT_EQ(colour.lbColor, toColorRef(row->colour));
        } else {
            EXPECT_EQ(GetTextColor(dc), toColorRef(row->colour));
        }
    }
}

TEST_F(Win32About, FocusStartsOnOkThenFollowsTheTabIndex)
{
    const std::array stops { &frm_about::cmdOK, &frm_about::picIcon, &frm_about::cmdSysInfo };
    EXPECT_EQ(GetFocus(), control(*stops.front()));
    for (std::size_t i = 1; i <= stops.size(); ++i) {
        testing::pressKey(GetFocus(), WM_KEYDOWN, VK_TAB);
        EXPECT_EQ(GetFocus(), control(*stops[i % stops.size()])) << i;
    }
}

struct CloseCase {
    const char *name;
    const ControlDesign *focus;
    std::function<void(HWND about, HWND ok)> close;
};

std::ostream &operator<<(std::ostream &out, const CloseCase &row)
{
    return out << row.name;
}

class Win32AboutClose : public Win32About, public ::testing::WithParamInterface<CloseCase> { };

TEST_P(Win32AboutClose, UnloadsTheWindow)
{
    SetFocus(control(*GetParam().focus));
    GetParam().close(about, control(frm_about::cmdOK));
    EXPECT_FALSE(IsWindow(about));
    EXPECT_TRUE(runner.attempts.empty());
}

INSTANTIATE_TEST_SUITE_P(Ways, Win32AboutClose,
    ::testing::Values(CloseCase { "OkButton", &frm_about::cmdSysInfo,
                          [](HWND, HWND ok) { SendMessageW(ok, BM_CLICK, 0, 0); } },
        CloseCase { "EnterOnOk", &frm_about::cmdOK,
            [](HWND, HWND) { testing::pressKey(GetFocus(), WM_KEYDOWN, VK_RETURN); } },
        CloseCase { "Esc", &frm_about::cmdSysInfo,
            [](HWND, HWND) { testing::pressKey(GetFocus(), WM_KEYDOWN, VK_ESCAPE); } },
        CloseCase { "CloseBox", &frm_about::cmdSysInfo,
            [](HWND about, HWND) { SendMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0); } }),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Win32About, SysInfoWithoutTheToolSaysSoAndStaysOpen)
{
    testing::pressKey(control(frm_about::cmdOK), WM_SYSCHAR, L's');
    EXPECT_EQ(
        messageBox.shown, std::vector<std::string> { std::string(texts::sysInfoUnavailable) });
    EXPECT_TRUE(IsWindow(about));
}

TEST_F(Win32About, EnterPressesTheFocusedButton)
{
    SetFocus(control(frm_about::cmdSysInfo));
    testing::pressKey(GetFocus(), WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(
        messageBox.shown, std::vector<std::string> { std::string(texts::sysInfoUnavailable) });
    EXPECT_TRUE(IsWindow(about));
}

TEST_F(Win32About, FocusStaysOnItsButtonAcrossActivation)
{
    SetFocus(control(frm_about::cmdSysInfo));
    const HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetActiveWindow(other);
    SetActiveWindow(about);
    EXPECT_EQ(GetFocus(), control(frm_about::cmdSysInfo));
    DestroyWindow(other);
}

TEST_F(Win32About, SysInfoStartsTheToolFromTheRegistry)
{
    const std::string tool = "C:\\Program Files\\Tools\\msinfo32.exe";
    registry.keys[registry::sysInfoToolKey][registry::sysInfoToolValue]
        = testing::FakeRegistry::text(tool);
    files.files.insert(tool);

    SendMessageW(control(frm_about::cmdSysInfo), BM_CLICK, 0, 0);

    ASSERT_EQ(runner.started.size(), 1U);
    EXPECT_EQ(runner.started[0].text, tool);
    EXPECT_EQ(runner.started[0].style, WindowStyle::NormalWithFocus);
}

} // namespace
} // namespace korvane::win32
