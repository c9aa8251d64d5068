#include "core/form_fakes.h"
#include "core/main_form_design.h"
#include "core/sponsor_notice.h"
#include "win32/form_win32.h"
#include "win32/frm_about_win32.h"
#include "win32/main_form_win32.h"
#include "win32/window_test.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace korvane {
namespace {

using testing::childRect;
using testing::clientSize;
using testing::windowText;

class Win32MainForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        win32::TopLevelWindows::setOnLastClosed([this] { ++lastClosed; });
        form = std::make_unique<MainForm>(fakes.services());
        ASSERT_TRUE(form->create());
        ShowWindow(form->window(), SW_SHOWNORMAL);
        SetForegroundWindow(form->window());
    }

    void TearDown() override
    {
        form.reset();
        if (frmAbout *about = frmAbout::instance())
            DestroyWindow(about->window());
        testing::takeQuit();
        win32::TopLevelWindows::setOnLastClosed({});
    }

    void click(const char *name) { SendMessageW(form->control(name), BM_CLICK, 0, 0); }

    testing::FormFakes fakes;
    std::unique_ptr<MainForm> form;
    int lastClosed = 0;
};

TEST_F(Win32MainForm, StartsWithTheLoadingCaptionThenShowsTheClock)
{
    EXPECT_EQ(windowText(form->window()), mainFormDesign.caption);
    fakes.clock.time = { 14, 5, 9 };
    // Timer1 is real: its first tick comes about a second after the window was made.
    EXPECT_TRUE(testing::pumpUntil(
        [&] { return windowText(form->window()) == "当前时间: 14:05:09"; }, 30000));
}

TEST_F(Win32MainForm, FixedWindowInTheTaskbar)
{
    const auto style = GetWindowLongPtrW(form->window(), GWL_STYLE);
    const auto exStyle = GetWindowLongPtrW(form->window(), GWL_EXSTYLE);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetWindow(form->window(), GW_OWNER), nullptr);
}

TEST_F(Win32MainForm, ControlsCarryTheDesignedCaptionsAndKinds)
{
    for (const ControlDesign &row : mainFormDesign.controls) {
        if (row.kind == ControlKind::Timer)
            continue;
        SCOPED_TRACE(std::string(row.name));
        const HWND control = form->control(row.name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(windowText(control), row.caption);
        // No button is the window's default: Enter presses none of them.
        const auto type = GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK;
        EXPECT_EQ(type, row.kind == ControlKind::Frame ? BS_GROUPBOX : BS_PUSHBUTTON);
    }
}

TEST_F(Win32MainForm, ControlsUseTheSystemMessageFont)
{
    NONCLIENTMETRICSW metrics {};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    LOGFONTW font {};
    const auto handle
        = reinterpret_cast<HFONT>(SendMessageW(form->control("Command1"), WM_GETFONT, 0, 0));
    ASSERT_TRUE(GetObjectW(handle, sizeof font, &font));
    EXPECT_STREQ(font.lfFaceName, metrics.lfMessageFont.lfFaceName);
}

class Win32MainFormDpi : public Win32MainForm, public ::testing::WithParamInterface<UINT> { };

TEST_P(Win32MainFormDpi, GeometryFollowsTheTableAtTheWindowsDpi)
{
    const UINT dpi = GetParam();
    if (form->dpi() != dpi)
        testing::changeDpi(form->window(), dpi);
    ASSERT_EQ(form->dpi(), dpi);
    const auto px = [dpi](int twips) { return twipsToPixels(twips, static_cast<int>(dpi)); };

    const SIZE client = clientSize(form->window());
    EXPECT_EQ(client.cx, px(mainFormDesign.client.width));
    EXPECT_EQ(client.cy, px(mainFormDesign.client.height));
    for (const ControlDesign &row : mainFormDesign.controls) {
        if (row.kind == ControlKind::Timer)
            continue;
        SCOPED_TRACE(std::string(row.name));
        const ControlDesign *container = findControl(mainFormDesign, row.container);
        const int left = px(row.rect.left) + (container ? px(container->rect.left) : 0);
        const int top = px(row.rect.top) + (container ? px(container->rect.top) : 0);
        const RECT rect = childRect(form->control(row.name));
        EXPECT_EQ(rect.left, left);
        EXPECT_EQ(rect.top, top);
        EXPECT_EQ(rect.right - rect.left, px(row.rect.width));
        EXPECT_EQ(rect.bottom - rect.top, px(row.rect.height));
    }
}

INSTANTIATE_TEST_SUITE_P(Dpi, Win32MainFormDpi, ::testing::Values(96U, 144U));

TEST_F(Win32MainForm, TabOrderFollowsTheTabIndex)
{
    std::vector<const ControlDesign *> buttons;
    for (const ControlDesign &row : mainFormDesign.controls) {
        if (row.kind == ControlKind::Button)
            buttons.push_back(&row);
    }
    std::ranges::sort(buttons, {}, &ControlDesign::tabIndex);

    SetFocus(form->control(buttons.front()->name));
    for (std::size_t i = 1; i <= buttons.size(); ++i) {
        testing::pressKey(GetFocus(), WM_KEYDOWN, VK_TAB);
        EXPECT_EQ(GetFocus(), form->control(buttons[i % buttons.size()]->name)) << i;
    }
    // Tabbing onto a button does not make it the window's default.
    for (const ControlDesign *button : buttons) {
        EXPECT_EQ(
            GetWindowLongPtrW(form->control(button->name), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON)
            << button->name;
    }
    testing::pressKey(GetFocus(), WM_KEYDOWN, VK_RETURN);
    EXPECT_TRUE(fakes.inputBox.prompts.empty());
}

struct ClickCase {
    const char *name;
    const char *button;
    std::deque<std::string> answers;
    std::vector<std::string> started;
    std::vector<std::string> messages;
    bool scheduled;
};

std::ostream &operator<<(std::ostream &out, const ClickCase &row)
{
    return out << row.name;
}

class Win32MainFormClicks : public Win32MainForm,
                            public ::testing::WithParamInterface<ClickCase> { };

TEST_P(Win32MainFormClicks, ReachTheSharedLogic)
{
    fakes.inputBox.answers = GetParam().answers;
    click(GetParam().button);

    std::vector<std::string> started;
    for (const auto &start : fakes.runner.started) {
        started.push_back(start.text);
        EXPECT_EQ(start.style, WindowStyle::Hidden);
    }
    EXPECT_EQ(started, GetParam().started);
    EXPECT_EQ(fakes.messageBox.shown, GetParam().messages);
    EXPECT_EQ(form->ActionScheduled(), GetParam().scheduled);
}

INSTANTIATE_TEST_SUITE_P(Buttons, Win32MainFormClicks,
    ::testing::Values(
        ClickCase { "Shutdown", "Command1", { "10" }, { "shutdown -s -t 600" }, {}, true },
        ClickCase { "Restart", "Command2", { "0" }, { "shutdown -r -t 0" }, {}, true },
        ClickCase { "CancelWithNothingScheduled", "Command3", {}, {},
            { "请先设置关闭/重启计算机后再取消操作!" }, false },
        ClickCase { "Sponsor", "Command6", {}, {}, { sponsorNotice }, false }),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Win32MainForm, AccessKeysPressTheirButtons)
{
    fakes.inputBox.answers = { "10" };
    testing::pressKey(form->control("Command1"), WM_SYSCHAR, L'c');
    EXPECT_EQ(fakes.runner.started.size(), 1U);

    testing::pressKey(form->control("Command1"), WM_SYSCHAR, L'g');
    EXPECT_EQ(fakes.messageBox.shown, std::vector<std::string> { sponsorNotice });

    testing::pressKey(form->control("Command1"), WM_SYSCHAR, L'q');
    EXPECT_NE(frmAbout::instance(), nullptr);
}

TEST_F(Win32MainForm, EnterAndEscPressNoButton)
{
    SetFocus(form->control("Command1"));
    testing::pressKey(GetFocus(), WM_KEYDOWN, VK_RETURN);
    testing::pressKey(GetFocus(), WM_KEYDOWN, VK_ESCAPE);
    EXPECT_TRUE(fakes.inputBox.prompts.empty());
    EXPECT_TRUE(fakes.messageBox.shown.empty());
    EXPECT_FALSE(testing::takeQuit());
}

TEST_F(Win32MainForm, ExitEndsTheLoopAndLeavesTheScheduleAlone)
{
    fakes.inputBox.answers = { "10" };
    click("Command1");
    click("Command4");
    EXPECT_TRUE(testing::takeQuit());
    EXPECT_EQ(fakes.runner.started.size(), 1U);
}

TEST_F(Win32MainForm, ClosingTheLastWindowEndsTheProcess)
{
    SendMessageW(form->window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(lastClosed, 1);
}

TEST_F(Win32MainForm, AboutOutlivesTheMainWindow)
{
    click("Command5");
    ASSERT_NE(frmAbout::instance(), nullptr);
    SendMessageW(form->window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(lastClosed, 0);
    ASSERT_NE(frmAbout::instance(), nullptr);

    SendMessageW(frmAbout::instance()->control("cmdOK"), BM_CLICK, 0, 0);
    EXPECT_EQ(frmAbout::instance(), nullptr);
    EXPECT_EQ(lastClosed, 1);
}

TEST_F(Win32MainForm, AboutIsOneWindowAndLoadsAgainAfterClosing)
{
    click("Command5");
    const HWND first = frmAbout::instance()->window();
    click("Command5");
    EXPECT_EQ(frmAbout::instance()->window(), first);
    int aboutWindows = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM count) {
            wchar_t name[32] = {};
            GetClassNameW(window, name, 32);
            if (std::wstring(name) == frmAbout::className)
                ++*reinterpret_cast<int *>(count);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&aboutWindows));
    EXPECT_EQ(aboutWindows, 1);

    SendMessageW(frmAbout::instance()->control("cmdOK"), BM_CLICK, 0, 0);
    ASSERT_EQ(frmAbout::instance(), nullptr);
    click("Command5");
    ASSERT_NE(frmAbout::instance(), nullptr);
    EXPECT_EQ(windowText(frmAbout::instance()->window()), "关于 Korvane");
}

} // namespace
} // namespace korvane
