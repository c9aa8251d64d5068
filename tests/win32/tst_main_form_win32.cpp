#include "core/form_fakes.h"
#include "core/texts.h"
#include "win32/frm_about_win32.h"
#include "win32/main_form_win32.h"
#include "win32/window_test.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

namespace korvane::win32 {
namespace {

using testing::windowText;

// The buttons in their tab order.
constexpr std::array buttons { &main_form::Command1, &main_form::Command2, &main_form::Command3,
    &main_form::Command4, &main_form::Command5, &main_form::Command6 };

class Win32MainForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        TopLevelWindows::setOnLastClosed([this] { ++lastClosed; });
        form = std::make_unique<MainForm>(fakes.services());
        ASSERT_TRUE(form->create());
        ShowWindow(form->window(), SW_SHOWNORMAL);
        SetForegroundWindow(form->window());
    }

    void TearDown() override
    {
        form.reset();
        if (const HWND about = aboutWindow())
            DestroyWindow(about);
        testing::takeQuit();
        TopLevelWindows::setOnLastClosed({});
    }

    [[nodiscard]] HWND control(const ControlDesign &row) const
    {
        return testing::control(form->window(), mainFormDesign, row);
    }
    void click(const ControlDesign &row) const { SendMessageW(control(row), BM_CLICK, 0, 0); }

    [[nodiscard]] static HWND aboutWindow() { return testing::threadWindow(frmAbout::className); }
    static void clickAboutOk()
    {
        SendMessageW(
            testing::control(aboutWindow(), frmAboutDesign, frm_about::cmdOK), BM_CLICK, 0, 0);
    }

    testing::FormFakes fakes;
    std::unique_ptr<MainForm> form;
    int lastClosed = 0;
};

TEST_F(Win32MainForm, StartsWithTheLoadingCaptionThenShowsTheClock)
{
    EXPECT_EQ(windowText(form->window()), "程序加载中...");
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
    for (const ControlDesign *row : mainFormDesign.controls) {
        if (row->kind == ControlKind::Timer)
            continue;
        SCOPED_TRACE(std::string(row->name));
        const HWND button = control(*row);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(windowText(button), row->caption);
        // No button is the window's default: Enter presses none of them.
        const auto type = GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK;
        EXPECT_EQ(type, row->kind == ControlKind::Frame ? BS_GROUPBOX : BS_PUSHBUTTON);
    }
}

TEST_F(Win32MainForm, ControlsUseTheSystemMessageFont)
{
    NONCLIENTMETRICSW metrics {};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    LOGFONTW font {};
    const auto handle
        = reinterpret_cast<HFONT>(SendMessageW(control(main_form::Command1), WM_GETFONT, 0, 0));
    ASSERT_TRUE(GetObjectW(handle, sizeof font, &font));
    EXPECT_STREQ(font.lfFaceName, metrics.lfMessageFont.lfFaceName);
}

class Win32MainFormDpi : public Win32MainForm, public ::testing::WithParamInterface<UINT> { };

TEST_P(Win32MainFormDpi, GeometryFollowsTheWindowsDpi)
{
    testing::expectDesignedLayout(form->window(), testing::mainFormPixels, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Dpi, Win32MainFormDpi, ::testing::Values(96U, 144U));

TEST_F(Win32MainForm, TabOrderRunsFromCommand1ToCommand6)
{
    SetFocus(control(*buttons.front()));
    for (std::size_t i = 1; i <= buttons.size(); ++i) {
        testing::pressKey(GetFocus(), WM_KEYDOWN, VK_TAB);
        EXPECT_EQ(GetFocus(), control(*buttons[i % buttons.size()])) << i;
    }
    // Tabbing onto a button does not make it the window's default.
    for (const ControlDesign *button : buttons) {
        EXPECT_EQ(GetWindowLongPtrW(control(*button), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON)
            << button->name;
    }
    testing::pressKey(GetFocus(), WM_KEYDOWN, VK_RETURN);
    EXPECT_TRUE(fakes.inputBox.prompts.empty());
}

class Win32MainFormClicks : public Win32MainForm,
                            public ::testing::WithParamInterface<testing::ClickCase> { };

TEST_P(Win32MainFormClicks, ReachTheSharedLogic)
{
    fakes.inputBox.answers = GetParam().answers;
    click(*GetParam().button);

    EXPECT_EQ(fakes.runner.startedIn(WindowStyle::Hidden), GetParam().started);
    EXPECT_EQ(fakes.messageBox.shown, GetParam().messages);
    EXPECT_EQ(form->ActionScheduled(), GetParam().scheduled);
}

INSTANTIATE_TEST_SUITE_P(Buttons, Win32MainFormClicks, ::testing::ValuesIn(testing::mainFormClicks),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Win32MainForm, AccessKeysPressTheirButtons)
{
    fakes.inputBox.answers = { "10" };
    testing::pressKey(control(main_form::Command1), WM_SYSCHAR, L'c');
    EXPECT_EQ(fakes.runner.started.size(), 1U);

    testing::pressKey(control(main_form::Command1), WM_SYSCHAR, L'g');
    EXPECT_EQ(fakes.messageBox.shown, std::vector { std::string(texts::sponsorNotice) });

    testing::pressKey(control(main_form::Command1), WM_SYSCHAR, L'q');
    EXPECT_NE(aboutWindow(), nullptr);
}

TEST_F(Win32MainForm, SharedAccessKeyMovesTheFocusAndSpacePresses)
{
    // Command2 and Command3 both carry D: each Alt+D moves on to the next, pressing neither.
    SetFocus(control(main_form::Command1));
    for (const ControlDesign *next : { &main_form::Command2, &main_form::Command3,
             &main_form::Command2, &main_form::Command3 }) {
        testing::pressKey(GetFocus(), WM_SYSCHAR, L'd');
        EXPECT_EQ(GetFocus(), control(*next)) << next->name;
    }
    EXPECT_TRUE(fakes.inputBox.prompts.empty());
    EXPECT_TRUE(fakes.messageBox.shown.empty());

    testing::pressKey(GetFocus(), WM_KEYDOWN, VK_SPACE);
    testing::pressKey(GetFocus(), WM_KEYUP, VK_SPACE);
    EXPECT_EQ(fakes.messageBox.shown,
        std::vector<std::string> { "请先设置关闭/重启计算机后再取消操作!" });
}

TEST_F(Win32MainForm, EnterAndEscPressNoButton)
{
    SetFocus(control(main_form::Command1));
    testing::pressKey(GetFocus(), WM_KEYDOWN, VK_RETURN);
    testing::pressKey(GetFocus(), WM_KEYDOWN, VK_ESCAPE);
    EXPECT_TRUE(fakes.inputBox.prompts.empty());
    EXPECT_TRUE(fakes.messageBox.shown.empty());
    EXPECT_FALSE(testing::takeQuit());
}

TEST_F(Win32MainForm, ExitEndsTheLoopAndLeavesTheScheduleAlone)
{
    fakes.inputBox.answers = { "10" };
    click(main_form::Command1);
    click(main_form::Command4);
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
    click(main_form::Command5);
    ASSERT_NE(aboutWindow(), nullptr);
    SendMessageW(form->window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(lastClosed, 0);
    ASSERT_NE(aboutWindow(), nullptr);

    clickAboutOk();
    EXPECT_EQ(aboutWindow(), nullptr);
    EXPECT_EQ(lastClosed, 1);
}

TEST_F(Win32MainForm, AboutIsOneWindowAndLoadsAgainAfterClosing)
{
    click(main_form::Command5);
    const HWND first = aboutWindow();
    click(main_form::Command5);
    EXPECT_EQ(testing::threadWindows(frmAbout::className), std::vector { first });

    clickAboutOk();
    ASSERT_EQ(aboutWindow(), nullptr);
    click(main_form::Command5);
    ASSERT_NE(aboutWindow(), nullptr);
    EXPECT_EQ(windowText(aboutWindow()), "关于 Korvane");
}

} // namespace
} // namespace korvane::win32
