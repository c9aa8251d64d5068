#include "core/fakes.h"
#include "core/power_actions.h"

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
    PowerActions actions({ inputBox, messageBox, runner, locale, standInExitCodes });

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

constexpr const char *shutdownRefused = "系统拒绝了关闭计算机的请求";
constexpr const char *restartRefused = "系统拒绝了重启计算机的请求";
constexpr const char *nothingScheduled = "系统中没有待取消的关闭/重启计算机操作";
constexpr const char *cancelFailed = "系统未能取消关闭/重启计算机";
constexpr std::optional<int> startFails = std::nullopt;

// Each click's command ends with its exit code before the next click; no code: it cannot
// start at all.
struct OutcomeCase {
    const char *name;
    std::string clicks;
    std::vector<std::optional<int>> exits;
    ShutdownExitCodes codes;
    std::vector<std::string> messages;
    bool scheduledAfter;
};

class PowerOutcomeTest : public ::testing::TestWithParam<OutcomeCase> { };

TEST_P(PowerOutcomeTest, TellsWhatTheSystemDidNotDo)
{
    const OutcomeCase &row = GetParam();
    FakeInputBox inputBox({ "10", "10" });
    FakeMessageBox messageBox;
    FakeCommandRunner runner;
    const FakeLocale locale;
    PowerActions actions({ inputBox, messageBox, runner, locale, row.codes });

    for (std::size_t i = 0; i < row.clicks.size(); ++i) {
        runner.startsSucceed = row.exits[i].has_value();
        if (row.clicks[i] == 'c')
            actions.cancel();
        else
            actions.schedule(row.clicks[i] == 's' ? PowerAction::Shutdown : PowerAction::Restart);
        if (row.exits[i])
            runner.started.back().onExit(*row.exits[i]);
    }

    EXPECT_EQ(runner.attempts.size(), row.clicks.size());
    EXPECT_EQ(messageBox.shown, row.messages);
    EXPECT_EQ(actions.ActionScheduled(), row.scheduledAfter);
}

INSTANTIATE_TEST_SUITE_P(Outcomes, PowerOutcomeTest,
    ::testing::Values(OutcomeCase { "ShutdownStartFails", "s", { startFails }, standInExitCodes,
                          { shutdownRefused }, false },
        OutcomeCase { "ShutdownDone", "s", { 0 }, standInExitCodes, {}, true },
        OutcomeCase { "shutdownRefused", "s", { 4 }, standInExitCodes, { shutdownRefused }, true },
        // The nothing-to-cancel code means nothing special to a schedule.
        OutcomeCase { "ShutdownEndsWithNothingToCancelCode", "s", { 5 }, standInExitCodes,
            { shutdownRefused }, true },
        OutcomeCase {
            "RestartStartFails", "r", { startFails }, windowsExitCodes, { restartRefused }, false },
        OutcomeCase { "RestartDone", "r", { 0 }, windowsExitCodes, {}, true },
        OutcomeCase { "RestartAlreadyScheduledOnWindows", "r", { 1190 }, windowsExitCodes,
            { restartRefused }, true },
        OutcomeCase {
            "CancelStartFails", "sc", { 0, startFails }, standInExitCodes, { cancelFailed }, true },
        OutcomeCase { "CancelDone", "sc", { 0, 0 }, standInExitCodes, {}, false },
        OutcomeCase { "CancelRefused", "sc", { 0, 4 }, standInExitCodes, { cancelFailed }, false },
        OutcomeCase { "NothingToCancelStandIn", "sc", { 0, 5 }, standInExitCodes,
            { nothingScheduled }, false },
        OutcomeCase { "NothingToCancelWindows", "sc", { 0, 1116 }, windowsExitCodes,
            { nothingScheduled }, false },
        // shutdown.exe's 5 is access denied.
        OutcomeCase {
            "AccessDeniedOnWindows", "sc", { 0, 5 }, windowsExitCodes, { cancelFailed }, false },
        OutcomeCase { "TwoRefusalsTwoMessages", "sr", { 4, 4 }, standInExitCodes,
            { shutdownRefused, restartRefused }, true }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(PowerActionsReport, ComingAfterTheWindowIsGoneIsDropped)
{
    FakeInputBox inputBox({ "10" });
    FakeMessageBox messageBox;
    FakeCommandRunner runner;
    const FakeLocale locale;
    std::optional<PowerActions> actions;
    actions.emplace(PowerServices { inputBox, messageBox, runner, locale, standInExitCodes });
    actions->schedule(PowerAction::Shutdown);

    actions.reset();
    runner.started.back().onExit(4);

    EXPECT_TRUE(messageBox.shown.empty());
}

// The Linux notifier is asked to look again only when a schedule went through.
TEST(PowerActionsReport, ScheduledIsToldOnlyForAnAcceptedSchedule)
{
    FakeInputBox inputBox({ "10", "10" });
    FakeMessageBox messageBox;
    FakeCommandRunner runner;
    const FakeLocale locale;
    int told = 0;
    PowerActions actions(
        { inputBox, messageBox, runner, locale, standInExitCodes, [&told] { ++told; } });

    actions.schedule(PowerAction::Shutdown);
    runner.started.back().onExit(4);
    EXPECT_EQ(told, 0);
    actions.schedule(PowerAction::Restart);
    runner.started.back().onExit(0);
    EXPECT_EQ(told, 1);
    actions.cancel();
    runner.started.back().onExit(0);
    EXPECT_EQ(told, 1);
}

TEST(PowerActionsCommand, ArgumentsTravelAsSeparateParts)
{
    FakeInputBox inputBox({ "10" });
    FakeMessageBox messageBox;
    FakeCommandRunner runner;
    const FakeLocale locale;
    PowerActions actions({ inputBox, messageBox, runner, locale, standInExitCodes });

    actions.schedule(PowerAction::Restart);

    ASSERT_EQ(runner.attempts.size(), 1U);
    EXPECT_EQ(runner.attempts.front(), (Command { "shutdown", { "-r", "-t", "600" } }));
}

} // namespace
} // namespace korvane
