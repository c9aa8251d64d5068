#include "fakes.h"
#include "main_window/power_actions.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

using testing::FakeCommandRunner;
using testing::FakeInputBox;
using testing::FakeLocale;
using testing::FakeMessageBox;

constexpr const char *nothingToCancel = "请先设置关闭/重启计算机后再取消操作!";

// Clicks: 's' shutdown, 'r' restart, 'c' cancel.
struct PowerCase {
    const char *name;
    std::string clicks;
    std::deque<std::string> answers;
    std::vector<std::string> started;
    std::vector<std::string> messages;
    bool scheduledAfter;
    std::string separator = ".";
};

class PowerActionsTest : public ::testing::TestWithParam<PowerCase> { };

TEST_P(PowerActionsTest, StartsCommandsAndTracksTheSchedule)
{
    const PowerCase &row = GetParam();
    FakeInputBox inputBox(row.answers);
    FakeMessageBox messageBox;
    FakeCommandRunner runner;
    const FakeLocale locale(row.separator);
    PowerActions actions({ inputBox, messageBox, runner, locale });

    for (const char click : row.clicks) {
        if (click == 'c')
            actions.cancel();
        else
            actions.schedule(click == 's' ? PowerAction::Shutdown : PowerAction::Restart);
    }

    std::vector<std::string> started;
    for (const auto &start : runner.started) {
        started.push_back(start.text);
        EXPECT_EQ(start.style, WindowStyle::Hidden);
    }
    EXPECT_EQ(started, row.started);
    EXPECT_EQ(messageBox.shown, row.messages);
    EXPECT_EQ(actions.ActionScheduled(), row.scheduledAfter);
}

INSTANTIATE_TEST_SUITE_P(Clicks, PowerActionsTest,
    ::testing::Values(
        PowerCase { "DefaultShutdown", "s", { "10" }, { "shutdown -s -t 600" }, {}, true },
        PowerCase { "RestartNow", "r", { "0" }, { "shutdown -r -t 0" }, {}, true },
        PowerCase { "FractionOfAMinute", "s", { "1.5" }, { "shutdown -s -t 90" }, {}, true },
        PowerCase { "FractionalSeconds", "s", { "1.51" }, { "shutdown -s -t 90.6" }, {}, true },
        PowerCase { "CommaLocale", "r", { "1,51" }, { "shutdown -r -t 90,6" }, {}, true, "," },
        PowerCase { "Largest", "s", { "999999" }, { "shutdown -s -t 59999940" }, {}, true },
        PowerCase { "CancelFirst", "c", {}, {}, { nothingToCancel }, false },
        PowerCase { "ShutdownThenCancelTwice", "scc", { "10" },
            { "shutdown -s -t 600", "shutdown -a" }, { nothingToCancel }, false },
        PowerCase { "TwoSchedulesOneCancel", "src", { "10", "2" },
            { "shutdown -s -t 600", "shutdown -r -t 120", "shutdown -a" }, {}, false },
        PowerCase { "SecondEntryNegativeIsStartedAsTyped", "s", { "abc", "-5" },
            { "shutdown -s -t -300" }, { "时间输入错误，请重新输入" }, true },
        // A non-number on the second prompt has no delay to hand over.
        PowerCase { "SecondEntryNotANumber", "s", { "abc", "xyz" }, {},
            { "时间输入错误，请重新输入" }, false },
        PowerCase { "CancelTwice", "s", {}, {}, { "时间输入错误，请重新输入" }, false },
        PowerCase { "SecondEntryOverflowsSeconds", "s", { "x", "1e308" }, {},
            { "时间输入错误，请重新输入" }, false },
        PowerCase { "UncheckedEntryKeepsEarlierSchedule", "ss", { "10", "x", "y" },
            { "shutdown -s -t 600" }, { "时间输入错误，请重新输入" }, true }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(PowerActionsFailedStart, ScheduleLeavesTheFlagAsItWas)
{
    FakeInputBox inputBox({ "10" });
    FakeMessageBox messageBox;
    FakeCommandRunner runner;
    runner.startsSucceed = false;
    const FakeLocale locale;
    PowerActions actions({ inputBox, messageBox, runner, locale });

    actions.schedule(PowerAction::Shutdown);

    ASSERT_EQ(runner.attempts.size(), 1U);
    EXPECT_EQ(runner.attempts.front().text(), "shutdown -s -t 600");
    EXPECT_FALSE(actions.ActionScheduled());
    EXPECT_TRUE(messageBox.shown.empty());
}

TEST(PowerActionsFailedStart, CancelKeepsTheScheduleToCancelLater)
{
    FakeInputBox inputBox({ "10" });
    FakeMessageBox messageBox;
    FakeCommandRunner runner;
    const FakeLocale locale;
    PowerActions actions({ inputBox, messageBox, runner, locale });
    actions.schedule(PowerAction::Shutdown);

    runner.startsSucceed = false;
    actions.cancel();

    EXPECT_EQ(runner.attempts.back().text(), "shutdown -a");
    EXPECT_TRUE(actions.ActionScheduled());
    EXPECT_TRUE(messageBox.shown.empty());
}

TEST(PowerActionsCommand, ArgumentsTravelAsSeparateParts)
{
    FakeInputBox inputBox({ "10" });
    FakeMessageBox messageBox;
    FakeCommandRunner runner;
    const FakeLocale locale;
    PowerActions actions({ inputBox, messageBox, runner, locale });

    actions.schedule(PowerAction::Restart);

    ASSERT_EQ(runner.attempts.size(), 1U);
    EXPECT_EQ(runner.attempts.front(), (Command { "shutdown", { "-r", "-t", "600" } }));
}

} // namespace
} // namespace korvane
