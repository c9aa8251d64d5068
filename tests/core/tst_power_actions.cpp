#include "core/form_fakes.h"
#include "core/power_actions.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

using testing::FormFakes;

constexpr const char *badDelay = "时间输入错误，请重新输入";
constexpr const char *cancelUnscheduled = "请先设置关闭/重启计算机后再取消操作!";
constexpr const char *shutdownRefused = "系统拒绝了关闭计算机的请求";
constexpr const char *restartRefused = "系统拒绝了重启计算机的请求";
constexpr const char *nothingToCancel = "系统中没有待取消的关闭/重启计算机操作";
constexpr const char *cancelFailed = "系统未能取消关闭/重启计算机";
constexpr const char *notStarted = "无法启动 shutdown 程序";
constexpr std::optional<int> startFails = std::nullopt;

// 's' shutdown, 'r' restart, 'c' cancel.
void click(PowerActions &actions, char button)
{
    if (button == 'c')
        actions.cancel();
    else
        actions.schedule(button == 's' ? PowerAction::Shutdown : PowerAction::Restart);
}

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
    FormFakes fakes;
    fakes.inputBox.answers = row.answers;
    fakes.locale.separator = row.separator;
    PowerActions actions(fakes.services().power());

    for (const char button : row.clicks)
        click(actions, button);

    EXPECT_EQ(fakes.runner.startedIn(WindowStyle::Hidden), row.started);
    EXPECT_EQ(fakes.messageBox.shown, row.messages);
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
        PowerCase { "CancelFirst", "c", {}, {}, { cancelUnscheduled }, false },
        PowerCase { "ShutdownThenCancelTwice", "scc", { "10" },
            { "shutdown -s -t 600", "shutdown -a" }, { cancelUnscheduled }, false },
        PowerCase { "TwoSchedulesOneCancel", "src", { "10", "2" },
            { "shutdown -s -t 600", "shutdown -r -t 120", "shutdown -a" }, {}, false },
        PowerCase { "SecondEntryNegativeIsStartedAsTyped", "s", { "abc", "-5" },
            { "shutdown -s -t -300" }, { badDelay }, true },
        // A non-number on the second prompt has no delay to hand over.
        PowerCase { "SecondEntryNotANumber", "s", { "abc", "xyz" }, {}, { badDelay }, false },
        PowerCase { "CancelTwice", "s", {}, {}, { badDelay }, false },
        PowerCase { "SecondEntryOverflowsSeconds", "s", { "x", "1e308" }, {}, { badDelay }, false },
        PowerCase { "UncheckedEntryKeepsEarlierSchedule", "ss", { "10", "x", "y" },
            { "shutdown -s -t 600" }, { badDelay }, true }),
    [](const auto &info) { return std::string(info.param.name); });

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
    FormFakes fakes;
    fakes.inputBox.answers = { "10", "10" };
    fakes.codes = row.codes;
    PowerActions actions(fakes.services().power());

    for (std::size_t i = 0; i < row.clicks.size(); ++i) {
        fakes.runner.startsSucceed = row.exits[i].has_value();
        click(actions, row.clicks[i]);
        if (row.exits[i])
            fakes.runner.started.back().onExit(*row.exits[i]);
    }

    EXPECT_EQ(fakes.runner.attempts.size(), row.clicks.size());
    EXPECT_EQ(fakes.messageBox.shown, row.messages);
    EXPECT_EQ(actions.ActionScheduled(), row.scheduledAfter);
}

INSTANTIATE_TEST_SUITE_P(Outcomes, PowerOutcomeTest,
    ::testing::Values(OutcomeCase { "ShutdownStartFails", "s", { startFails }, helperExitCodes,
                          { notStarted }, false },
        OutcomeCase { "ShutdownDone", "s", { 0 }, helperExitCodes, {}, true },
        OutcomeCase { "ShutdownRefused", "s", { 4 }, helperExitCodes, { shutdownRefused }, true },
        // The nothing-to-cancel code means nothing special to a schedule.
        OutcomeCase { "ShutdownEndsWithNothingToCancelCode", "s", { 5 }, helperExitCodes,
            { shutdownRefused }, true },
        OutcomeCase {
            "RestartStartFails", "r", { startFails }, windowsExitCodes, { notStarted }, false },
        OutcomeCase { "RestartDone", "r", { 0 }, windowsExitCodes, {}, true },
        OutcomeCase { "RestartAlreadyScheduledOnWindows", "r", { 1190 }, windowsExitCodes,
            { restartRefused }, true },
        OutcomeCase {
            "CancelStartFails", "sc", { 0, startFails }, helperExitCodes, { notStarted }, true },
        OutcomeCase { "CancelDone", "sc", { 0, 0 }, helperExitCodes, {}, false },
        OutcomeCase { "CancelRefused", "sc", { 0, 4 }, helperExitCodes, { cancelFailed }, false },
        OutcomeCase {
            "NothingToCancelHelper", "sc", { 0, 5 }, helperExitCodes, { nothingToCancel }, false },
        OutcomeCase { "NothingToCancelWindows", "sc", { 0, 1116 }, windowsExitCodes,
            { nothingToCancel }, false },
        // shutdown.exe's 5 is access denied.
        OutcomeCase {
            "AccessDeniedOnWindows", "sc", { 0, 5 }, windowsExitCodes, { cancelFailed }, false },
        OutcomeCase { "TwoRefusalsTwoMessages", "sr", { 4, 4 }, helperExitCodes,
            { shutdownRefused, restartRefused }, true }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(PowerActionsReport, ComingAfterTheWindowIsGoneIsDropped)
{
    FormFakes fakes;
    fakes.inputBox.answers = { "10" };
    std::optional<PowerActions> actions(std::in_place, fakes.services().power());
    actions->schedule(PowerAction::Shutdown);

    actions.reset();
    fakes.runner.started.back().onExit(4);

    EXPECT_TRUE(fakes.messageBox.shown.empty());
}

// The Linux notifier is asked to look again only when a schedule went through.
TEST(PowerActionsReport, ScheduledIsToldOnlyForAnAcceptedSchedule)
{
    FormFakes fakes;
    fakes.inputBox.answers = { "10", "10" };
    int told = 0;
    fakes.scheduled = [&told] { ++told; };
    PowerActions actions(fakes.services().power());

    actions.schedule(PowerAction::Shutdown);
    fakes.runner.started.back().onExit(4);
    EXPECT_EQ(told, 0);
    actions.schedule(PowerAction::Restart);
    fakes.runner.started.back().onExit(0);
    EXPECT_EQ(told, 1);
    actions.cancel();
    fakes.runner.started.back().onExit(0);
    EXPECT_EQ(told, 1);
}

TEST(PowerActionsCommand, ArgumentsTravelAsSeparateParts)
{
    FormFakes fakes;
    fakes.inputBox.answers = { "10" };
    PowerActions actions(fakes.services().power());

    actions.schedule(PowerAction::Restart);

    ASSERT_EQ(fakes.runner.attempts.size(), 1U);
    EXPECT_EQ(fakes.runner.attempts.front(), (Command { "shutdown", { "-r", "-t", "600" } }));
}

} // namespace
} // namespace korvane
