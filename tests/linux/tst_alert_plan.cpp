#include "alert_plan.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

namespace korvane::notifier {
namespace {

constexpr std::int64_t second = logind::usecPerSecond;
constexpr std::int64_t moment = 1796700000 * second;
constexpr LocalTime today { 2026, 12, 7, 7, 5 };
constexpr Urgency normal = Urgency::Normal;
constexpr Urgency critical = Urgency::Critical;

// What is on screen, by seconds before the moment.
using Shown = std::vector<std::pair<std::int64_t, Message>>;

struct PlanCase {
    const char *name;
    const char *type;
    std::int64_t secondsAway;
    LocalTime local;
    Shown shown;
};

class AlertPlanTest : public ::testing::TestWithParam<PlanCase> { };

// Wakes exactly when the plan says and writes down what each wake-up shows.
TEST_P(AlertPlanTest, ShowsEachAlertOnceAtItsTime)
{
    const PlanCase &row = GetParam();
    AlertPlan plan(moment, moment - row.secondsAway * second);
    Shown shown;
    std::int64_t now = moment - row.secondsAway * second;
    for (int wakes = 0; wakes < 10; ++wakes) {
        if (const std::optional<Alert> alert = plan.take(now))
            shown.emplace_back(
                (moment - now) / second, message(*alert, row.type, row.local, today));
        const std::optional<std::int64_t> next = plan.nextDueUsec();
        if (!next)
            break;
        EXPECT_GT(*next, now);
        now = *next;
    }
    EXPECT_EQ(shown, row.shown);
}

const Message tenPowerOff { "计算机将在 10 分钟后关闭，请保存您的工作。", critical };
const Message onePowerOff { "计算机将在 1 分钟后关闭，请保存您的工作。", critical };
const Message tenRestart { "计算机将在 10 分钟后重新启动，请保存您的工作。", critical };
const Message oneRestart { "计算机将在 1 分钟后重新启动，请保存您的工作。", critical };

INSTANTIATE_TEST_SUITE_P(Moments, AlertPlanTest,
    ::testing::Values(PlanCase { "PowerOffInAnHour", "poweroff", 3600, { 2026, 12, 7, 8, 5 },
                          { { 3600, { "计算机将于 08:05 关闭", normal } }, { 600, tenPowerOff },
                              { 60, onePowerOff } } },
        PlanCase { "RebootTomorrow", "reboot", 86400, { 2026, 12, 8, 7, 30 },
            { { 86400, { "计算机将于 12月8日 07:30 重新启动", normal } }, { 600, tenRestart },
                { 60, oneRestart } } },
        PlanCase { "SameDayNextYear", "poweroff", 3600, { 2027, 12, 7, 0, 0 },
            { { 3600, { "计算机将于 12月7日 00:00 关闭", normal } }, { 600, tenPowerOff },
                { 60, onePowerOff } } },
        PlanCase { "ExactlyTenMinutesGetsNoTenMinuteWarning", "halt", 600, { 2026, 12, 7, 23, 59 },
            { { 600, { "计算机将于 23:59 关闭", normal } }, { 60, onePowerOff } } },
        PlanCase { "SeventySeconds", "kexec", 70, { 2026, 12, 7, 7, 6 },
            { { 70, { "计算机将于 07:06 重新启动", normal } }, { 60, oneRestart } } },
        PlanCase {
            "ExactlyOneMinuteWarnsAtOnce", "dry-poweroff", 60, today, { { 60, onePowerOff } } },
        PlanCase { "UnderAMinuteWarnsAtOnce", "soft-reboot", 5, today, { { 5, oneRestart } } },
        PlanCase { "AlreadyPast", "dry-reboot", -3, today, { { -3, oneRestart } } },
        PlanCase { "UnknownTypePowersOff", "suspend-then-hibernate", 61, { 2026, 1, 2, 3, 4 },
            { { 61, { "计算机将于 1月2日 03:04 关闭", normal } }, { 60, onePowerOff } } }),
    [](const auto &info) { return std::string(info.param.name); });

// A machine that slept through the ten-minute warning wakes to the one-minute one only.
TEST(AlertPlanLate, ShowsOnlyTheLatestDueAlert)
{
    AlertPlan plan(moment, moment - 3600 * second);
    EXPECT_EQ(plan.take(moment - 3600 * second), Alert::Notice);
    EXPECT_EQ(plan.take(moment - 30 * second), Alert::OneMinuteWarning);
    EXPECT_FALSE(plan.take(moment));
    EXPECT_FALSE(plan.nextDueUsec());
}

TEST(AlertPlanRefusals, NameWhatWasRefused)
{
    EXPECT_EQ(cancelFailed().body, "系统未能取消关闭/重启计算机");
    EXPECT_EQ(postponeRefused("poweroff").body, "系统拒绝了关闭计算机的请求");
    EXPECT_EQ(postponeRefused("reboot").body, "系统拒绝了重启计算机的请求");
}

struct WaitCase {
    const char *name;
    std::int64_t dueUsec;
    std::chrono::milliseconds wait;
};

class TimerWaitTest : public ::testing::TestWithParam<WaitCase> { };

TEST_P(TimerWaitTest, NeverShortOfTheMomentUnlessItIsOutOfReach)
{
    EXPECT_EQ(timerWait(GetParam().dueUsec, moment), GetParam().wait);
}

constexpr std::chrono::milliseconds longest { std::numeric_limits<int>::max() };

INSTANTIATE_TEST_SUITE_P(Moments, TimerWaitTest,
    ::testing::Values(WaitCase { "Past", moment - second, {} }, WaitCase { "Now", moment, {} },
        WaitCase { "RoundedUp", moment + 1500, std::chrono::milliseconds(2) },
        WaitCase { "FourWeeks", moment + second * 86400 * 28, longest },
        WaitCase { "FarthestLogindSays", std::numeric_limits<std::int64_t>::max(), longest }),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace korvane::notifier
