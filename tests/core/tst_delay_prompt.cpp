#include "core/delay_prompt.h"
#include "core/fakes.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

using testing::FakeInputBox;
using testing::FakeLocale;
using testing::FakeMessageBox;

struct DelayCase {
    const char *name;
    std::deque<std::string> answers;
    std::string returned;
    bool retried;
};

class DelayEntry : public ::testing::TestWithParam<DelayCase> { };

TEST_P(DelayEntry, AcceptsOrAsksOnce)
{
    const DelayCase &row = GetParam();
    FakeInputBox inputBox(row.answers);
    FakeMessageBox messageBox;

    EXPECT_EQ(AskDelay(PowerAction::Shutdown, inputBox, messageBox, FakeLocale()), row.returned);

    ASSERT_EQ(inputBox.prompts.size(), row.retried ? 2U : 1U);
    for (const auto &prompt : inputBox.prompts)
        EXPECT_EQ(prompt.defaultText, "10");
    if (row.retried)
        EXPECT_EQ(messageBox.shown, std::vector<std::string> { "时间输入错误，请重新输入" });
    else
        EXPECT_TRUE(messageBox.shown.empty());
}

// An exhausted answer queue stands for Cancel, which gives the empty text.
INSTANTIATE_TEST_SUITE_P(Entries, DelayEntry,
    ::testing::Values(DelayCase { "Default", { "10" }, "10", false },
        DelayCase { "Zero", { "0" }, "0", false },
        DelayCase { "Largest", { "999999" }, "999999", false },
        DelayCase { "Fraction", { "1.5" }, "1.5", false },
        DelayCase { "BlanksAround", { " 7 " }, " 7 ", false },
        DelayCase { "MinusOne", { "-1", "5" }, "5", true },
        DelayCase { "MinusHalf", { "-0.5", "5" }, "5", true },
        DelayCase { "JustAboveLargest", { "999999.5", "5" }, "5", true },
        DelayCase { "OneMillion", { "1000000", "5" }, "5", true },
        DelayCase { "NotANumber", { "abc", "5" }, "5", true },
        DelayCase { "Empty", { "", "5" }, "5", true }, DelayCase { "CancelFirst", {}, "", true },
        DelayCase { "SecondNegativeUnchecked", { "x", "-5" }, "-5", true },
        DelayCase { "SecondNotANumberUnchecked", { "x", "y" }, "y", true },
        DelayCase { "SecondTooLargeUnchecked", { "x", "1e9" }, "1e9", true }),
    [](const auto &info) { return std::string(info.param.name); });

struct PromptCase {
    const char *name;
    PowerAction action;
    const char *title;
    const char *prompt;
};

class DelayPromptTexts : public ::testing::TestWithParam<PromptCase> { };

TEST_P(DelayPromptTexts, BothPromptsCarryTheActionsTexts)
{
    const PromptCase &row = GetParam();
    FakeInputBox inputBox({ "bad", "bad" });
    FakeMessageBox messageBox;

    (void)AskDelay(row.action, inputBox, messageBox, FakeLocale());

    ASSERT_EQ(inputBox.prompts.size(), 2U);
    for (const auto &prompt : inputBox.prompts) {
        EXPECT_EQ(prompt.title, row.title);
        EXPECT_EQ(prompt.prompt, row.prompt);
    }
}

INSTANTIATE_TEST_SUITE_P(Actions, DelayPromptTexts,
    ::testing::Values(PromptCase { "Shutdown", PowerAction::Shutdown, "关机倒计时(分)",
                          "请输入计算机关机倒计时分钟" },
        PromptCase {
            "Restart", PowerAction::Restart, "重启倒计时(分)", "请输入计算机重启倒计时分钟" }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(DelayEntryLocale, CommaSeparatorFollowsTheLocale)
{
    FakeInputBox inputBox({ "2,5" });
    FakeMessageBox messageBox;

    EXPECT_EQ(AskDelay(PowerAction::Restart, inputBox, messageBox, FakeLocale(",")), "2,5");
    EXPECT_TRUE(messageBox.shown.empty());
}

} // namespace
} // namespace korvane
