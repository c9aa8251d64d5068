#include "core/fakes.h"
#include "core/frm_about_design.h"
#include "core/sys_info.h"
#include "win32/form_win32.h"
#include "win32/frm_about_win32.h"
#include "win32/window_test.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace korvane {
namespace {

using testing::childRect;
using testing::windowText;

class Win32About : public ::testing::Test {
protected:
    void SetUp() override
    {
        frmAbout::show({ registry, files, runner, messageBox });
        ASSERT_NE(frmAbout::instance(), nullptr);
        about = frmAbout::instance()->window();
    }

    void TearDown() override
    {
        if (frmAbout *open = frmAbout::instance())
            DestroyWindow(open->window());
    }

    [[nodiscard]] HWND control(std::string_view name, int index = -1) const
    {
        return frmAbout::instance()->control(name, index);
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
    EXPECT_EQ(windowText(control("lblVersion")), "版本 1.0.0");
    EXPECT_EQ(windowText(control("lblTitle")), "Korvane");
    for (const char *name : { "lblDescription", "lblDisclaimer", "cmdOK", "cmdSysInfo" }) {
        const ControlDesign *row = findControl(frmAboutDesign, name);
        EXPECT_EQ(windowText(control(name)), narrow(win32::controlText(row->caption))) << name;
    }
    EXPECT_NE(SendMessageW(control("picIcon"), STM_GETICON, 0, 0), 0);
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
    EXPECT_EQ(GetWindowLongPtrW(control("cmdOK"), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
}

class Win32AboutDpi : public Win32About, public ::testing::WithParamInterface<UINT> { };

TEST_P(Win32AboutDpi, GeometryFollowsTheTableAtTheWindowsDpi)
{
    const UINT dpi = GetParam();
    if (frmAbout::instance()->dpi() != dpi)
        testing::changeDpi(about, dpi);
    ASSERT_EQ(frmAbout::instance()->dpi(), dpi);
    const auto px = [dpi](int twips) { return twipsToPixels(twips, static_cast<int>(dpi)); };

    const SIZE client = testing::clientSize(about);
    EXPECT_EQ(client.cx, px(frmAboutDesign.client.width));
    EXPECT_EQ(client.cy, px(frmAboutDesign.client.height));
    for (const ControlDesign &row : frmAboutDesign.controls) {
        SCOPED_TRACE(std::string(row.name) + " " + std::to_string(row.index));
        const RECT rect = childRect(control(row.name, row.index));
        EXPECT_EQ(rect.left, px(row.rect.left));
        EXPECT_EQ(rect.top, px(row.rect.top));
        EXPECT_EQ(rect.right - rect.left, px(row.rect.width));
        EXPECT_EQ(rect.bottom - rect.top, px(row.rect.height));
    }
}

INSTANTIATE_TEST_SUITE_P(Dpi, Win32AboutDpi, ::testing::Values(96U, 144U));

TEST_F(Win32About, OpensAtItsPlaceOnTheScreen)
{
    POINT origin {};
    ClientToScreen(about, &origin);
    EXPECT_EQ(origin.x, twipsToPixels(frmAboutPlacement.left));
    EXPECT_EQ(origin.y, twipsToPixels(frmAboutPlacement.top));
}

TEST_F(Win32About, ColoursFollowTheTable)
{
    const HDC dc = GetDC(about);
    for (const ControlDesign &row : frmAboutDesign.controls) {
        if (row.colour == defaultColour)
            continue;
        SCOPED_TRACE(std::string(row.name) + " " + std::to_string(row.index));
        const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(about, WM_CTLCOLORSTATIC,
            reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control(row.name, row.index))));
        if (row.kind == ControlKind::Line) {
            LOGBRUSH colour {};
            ASSERT_TRUE(GetObjectW(brush, sizeof colour, &colour));
            EXPECT_EQ(colour.lbColor, win32::toColorRef(row.colour));
        } else {
            EXPECT_EQ(GetTextColor(dc), win32::toColorRef(row.colour));
        }
    }
    ReleaseDC(about, dc);
}

TEST_F(Win32About, FocusStartsOnOkThenFollowsTheTabIndex)
{
    EXPECT_EQ(GetFocus(), control("cmdOK"));
    std::vector<const ControlDesign *> stops;
    for (const ControlDesign &row : frmAboutDesign.controls) {
        if (row.kind == ControlKind::Button || row.kind == ControlKind::Picture)
            stops.push_back(&row);
    }
    std::ranges::sort(stops, {}, &ControlDesign::tabIndex);
    SetFocus(control(stops.front()->name));
    for (std::size_t i = 1; i <= stops.size(); ++i) {
        testing::pressKey(GetFocus(), WM_KEYDOWN, VK_TAB);
        EXPECT_EQ(GetFocus(), control(stops[i % stops.size()]->name)) << i;
    }
}

struct CloseCase {
    const char *name;
    std::function<void(HWND about, HWND ok)> close;
};

std::ostream &operator<<(std::ostream &out, const CloseCase &row)
{
    return out << row.name;
}

class Win32AboutClose : public Win32About, public ::testing::WithParamInterface<CloseCase> { };

TEST_P(Win32AboutClose, UnloadsTheWindow)
{
    SetFocus(control("cmdSysInfo"));
    GetParam().close(about, control("cmdOK"));
    EXPECT_EQ(frmAbout::instance(), nullptr);
    EXPECT_FALSE(IsWindow(about));
    EXPECT_TRUE(runner.attempts.empty());
}

INSTANTIATE_TEST_SUITE_P(Ways, Win32AboutClose,
    ::testing::Values(
        CloseCase { "OkButton", [](HWND, HWND ok) { SendMessageW(ok, BM_CLICK, 0, 0); } },
        CloseCase {
            "Enter", [](HWND, HWND) { testing::pressKey(GetFocus(), WM_KEYDOWN, VK_RETURN); } },
        CloseCase {
            "Esc", [](HWND, HWND) { testing::pressKey(GetFocus(), WM_KEYDOWN, VK_ESCAPE); } },
        CloseCase { "CloseBox",
            [](HWND about, HWND) { SendMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0); } }),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Win32About, SysInfoWithoutTheToolSaysSoAndStaysOpen)
{
    testing::pressKey(control("cmdOK"), WM_SYSCHAR, L's');
    EXPECT_EQ(
        messageBox.shown, std::vector<std::string> { std::string(texts::sysInfoUnavailable) });
    EXPECT_EQ(frmAbout::instance()->window(), about);
}

TEST_F(Win32About, SysInfoStartsTheToolFromTheRegistry)
{
    const std::string tool = "C:\\Program Files\\Tools\\msinfo32.exe";
    registry.keys[registry::sysInfoToolKey][registry::sysInfoToolValue]
        = testing::FakeRegistry::text(tool);
    files.files.insert(tool);

    SendMessageW(control("cmdSysInfo"), BM_CLICK, 0, 0);

    ASSERT_EQ(runner.started.size(), 1U);
    EXPECT_EQ(runner.started[0].text, tool);
    EXPECT_EQ(runner.started[0].style, WindowStyle::NormalWithFocus);
}

} // namespace
} // namespace korvane
