#include "win32/input_box_win32.h"
#include "win32/message_box_win32.h"
#include "win32/window_test.h"

#include <gtest/gtest.h>

#include <optional>

namespace korvane {
namespace {

using testing::windowText;

enum class Answer { Ok, Cancel, CloseBox };

// What the box showed, seen from a timer that fires inside its modal loop.
struct Seen {
    std::string title;
    std::string prompt;
    std::string text;
    DWORD selectionStart = 1;
    DWORD selectionEnd = 0;
    std::string ok;
    std::string cancel;
    HWND owner = nullptr;
    bool hasCancel = true;
    bool hasIcon = true;
    bool otherEnabled = true;
};

struct Script {
    const wchar_t *title;
    std::optional<std::string> typed;
    Answer answer;
    Seen seen;
    bool found = false;
    HWND other = nullptr;
};

Script *script = nullptr;

void CALLBACK answerBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    const HWND box = FindWindowW(L"#32770", script->title);
    if (!box)
        return;
    KillTimer(nullptr, timer);
    script->found = true;
    Seen &seen = script->seen;
    seen.title = windowText(box);
    seen.owner = GetWindow(box, GW_OWNER);
    seen.otherEnabled = IsWindowEnabled(script->other) != FALSE;
    seen.ok = windowText(GetDlgItem(box, IDOK));
    seen.cancel = windowText(GetDlgItem(box, IDCANCEL));
    seen.hasCancel = GetDlgItem(box, IDCANCEL) != nullptr;
    if (const HWND edit = GetDlgItem(box, win32::inputBoxEditId)) {
        seen.prompt = windowText(GetDlgItem(box, win32::inputBoxPromptId));
        seen.text = windowText(edit);
        SendMessageW(edit, EM_GETSEL, win32::wParamOf(&seen.selectionStart),
            win32::lParamOf(&seen.selectionEnd));
        if (script->typed)
            SetWindowTextW(edit, widen(*script->typed).c_str());
    }
    // A message box's icon, when it has one, is a static showing an icon.
    seen.hasIcon = false;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && IsWindowVisible(child)
            && SendMessageW(child, STM_GETICON, 0, 0))
            seen.hasIcon = true;
    }
    switch (script->answer) {
    case Answer::Ok:
        SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        break;
    case Answer::Cancel:
        SendMessageW(GetDlgItem(box, IDCANCEL), BM_CLICK, 0, 0);
        break;
    case Answer::CloseBox:
        SendMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    }
}

[[nodiscard]] HWND makeWindow(const wchar_t *name)
{
    return CreateWindowExW(0, L"STATIC", name, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200,
        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

// Two windows of the program: the first opened, which the boxes open over, and another.
class Win32Dialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const HWND window : { owner, other })
            win32::TopLevelWindows::opened(window);
        SetForegroundWindow(owner);
        SetActiveWindow(owner);
    }
    void TearDown() override
    {
        for (const HWND window : { owner, other }) {
            win32::TopLevelWindows::closed(window);
            DestroyWindow(window);
        }
        script = nullptr;
    }

    void answerWhenShown(Script &run)
    {
        run.other = other;
        script = &run;
        SetTimer(nullptr, 0, 20, answerBox);
    }

    const HWND owner = makeWindow(L"owner");
    const HWND other = makeWindow(L"other");
};

struct InputCase {
    const char *name;
    std::optional<std::string> typed;
    Answer answer;
    const char *result;
};

std::ostream &operator<<(std::ostream &out, const InputCase &row)
{
    return out << row.name;
}

class Win32InputBoxAnswers : public Win32Dialogs,
                             public ::testing::WithParamInterface<InputCase> { };

TEST_P(Win32InputBoxAnswers, GiveTheFieldOnOkOnly)
{
    Script run { L"关机倒计时(分)", GetParam().typed, GetParam().answer, {} };
    answerWhenShown(run);

    const std::string answer
        = win32::InputBox().ask("请输入计算机关机倒计时分钟", "关机倒计时(分)", "10");

    ASSERT_TRUE(run.found);
    EXPECT_EQ(answer, GetParam().result);
    EXPECT_EQ(run.seen.title, "关机倒计时(分)");
    EXPECT_EQ(run.seen.prompt, "请输入计算机关机倒计时分钟");
    EXPECT_EQ(run.seen.text, "10");
    EXPECT_EQ(run.seen.selectionStart, 0U);
    EXPECT_EQ(run.seen.selectionEnd, 2U);
    EXPECT_EQ(run.seen.ok, "确定");
    EXPECT_EQ(run.seen.cancel, "取消");
    EXPECT_EQ(run.seen.owner, owner);
    // Modal for the whole program: no other window of it takes a click meanwhile.
    EXPECT_FALSE(run.seen.otherEnabled);
    EXPECT_TRUE(IsWindowEnabled(other));
}

INSTANTIATE_TEST_SUITE_P(Answers, Win32InputBoxAnswers,
    ::testing::Values(InputCase { "OkWithTheDefault", std::nullopt, Answer::Ok, "10" },
        InputCase { "OkWithTyped", "1,5", Answer::Ok, "1,5" },
        InputCase { "OkWithEmpty", "", Answer::Ok, "" },
        InputCase { "Cancel", "20", Answer::Cancel, "" },
        InputCase { "CloseBox", "20", Answer::CloseBox, "" }),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Win32Dialogs, MessageBoxIsTitledWithTheAppAndHasOkOnlyAndNoIcon)
{
    Script run { L"Korvane", std::nullopt, Answer::Ok, {} };
    answerWhenShown(run);

    win32::MessageBox().show("请先设置关闭/重启计算机后再取消操作!");

    ASSERT_TRUE(run.found);
    EXPECT_EQ(run.seen.owner, owner);
    EXPECT_EQ(run.seen.ok, "确定");
    EXPECT_FALSE(run.seen.hasCancel);
    EXPECT_FALSE(run.seen.hasIcon);
    EXPECT_FALSE(run.seen.otherEnabled);
    EXPECT_TRUE(IsWindowEnabled(other));
}

TEST_F(Win32Dialogs, MessageArrivingWhileAnotherProgramIsActiveIsOwnedByTheFirstWindow)
{
    // Not one of the program's windows: it stands for another program's.
    const HWND stranger = makeWindow(L"stranger");
    SetActiveWindow(stranger);
    Script run { L"Korvane", std::nullopt, Answer::Ok, {} };
    answerWhenShown(run);

    win32::MessageBox().show("关机失败");

    ASSERT_TRUE(run.found);
    EXPECT_EQ(run.seen.owner, owner);
    DestroyWindow(stranger);
}

} // namespace
} // namespace korvane
