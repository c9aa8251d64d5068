#include "linux/shutdown/shutdown_arguments.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

struct ArgumentsCase {
    const char *name;
    std::vector<std::string> arguments;
    const char *separator;
    std::optional<Request> expected; // nullopt: refused
};

class ShutdownArgumentsTest : public ::testing::TestWithParam<ArgumentsCase> { };

TEST_P(ShutdownArgumentsTest, AcceptsOnlyTheThreeRequests)
{
    const ArgumentsCase &row = GetParam();
    const auto parsed = parseShutdownArguments(row.arguments, row.separator);
    if (row.expected) {
        ASSERT_TRUE(std::holds_alternative<Request>(parsed)) << std::get<Refusal>(parsed).message;
        EXPECT_EQ(std::get<Request>(parsed), *row.expected);
    } else {
        ASSERT_TRUE(std::holds_alternative<Refusal>(parsed));
        const std::string &message = std::get<Refusal>(parsed).message;
        EXPECT_FALSE(message.empty());
        EXPECT_EQ(message.find('\n'), std::string::npos);
    }
}

Request powerOff(std::int64_t usec)
{
    return { RequestKind::Schedule, PowerAction::Shutdown, usec };
}

Request reboot(std::int64_t usec)
{
    return { RequestKind::Schedule, PowerAction::Restart, usec };
}

const auto refused = std::nullopt;

INSTANTIATE_TEST_SUITE_P(CommandLines, ShutdownArgumentsTest,
    ::testing::Values(ArgumentsCase { "PowerOff", { "-s", "-t", "600" }, ".", powerOff(600000000) },
        ArgumentsCase { "Reboot", { "-r", "-t", "0" }, ".", reboot(0) },
        ArgumentsCase { "Cancel", { "-a" }, ".", Request { RequestKind::Cancel } },
        ArgumentsCase { "Help", { "--help" }, ".", Request { RequestKind::Help } },
        ArgumentsCase { "Fraction", { "-s", "-t", "90.6" }, ".", powerOff(90600000) },
        ArgumentsCase { "LocaleComma", { "-s", "-t", "90,6" }, ",", powerOff(90600000) },
        ArgumentsCase { "PointUnderCommaLocale", { "-r", "-t", "90.6" }, ",", reboot(90600000) },
        ArgumentsCase { "CommaUnderPointLocale", { "-s", "-t", "90,6" }, ".", refused },
        ArgumentsCase {
            "MultiByteSeparator", { "-s", "-t", "1\u066b5" }, "\u066b", powerOff(1500000) },
        ArgumentsCase {
            "LargestWindowDelay", { "-s", "-t", "59999940" }, ".", powerOff(59999940000000) },
        ArgumentsCase { "TenYears", { "-s", "-t", "315360000" }, ".", powerOff(315360000000000) },
        ArgumentsCase { "TenYearsAndAFraction", { "-s", "-t", "315360000.000001" }, ".", refused },
        ArgumentsCase { "OverTenYears", { "-s", "-t", "315360001" }, ".", refused },
        ArgumentsCase { "ManyDigits", { "-s", "-t", "99999999999999999999999" }, ".", refused },
        ArgumentsCase {
            "LeadingZeros", { "-s", "-t", "000000000000000000000090" }, ".", powerOff(90000000) },
        // Below a microsecond: rounded half up, from the decimal digits, not a double.
        ArgumentsCase {
            "SubMicrosecondDown", { "-s", "-t", "1.0000004999" }, ".", powerOff(1000000) },
        ArgumentsCase { "SubMicrosecondUp", { "-s", "-t", "1.0000005" }, ".", powerOff(1000001) },
        ArgumentsCase {
            "RoundsIntoNextSecond", { "-s", "-t", "1.9999999" }, ".", powerOff(2000000) },
        ArgumentsCase { "Negative", { "-s", "-t", "-300" }, ".", refused },
        ArgumentsCase { "NegativeZero", { "-s", "-t", "-0" }, ".", refused },
        ArgumentsCase { "Plus", { "-s", "-t", "+5" }, ".", refused },
        ArgumentsCase { "Empty", { "-s", "-t", "" }, ".", refused },
        ArgumentsCase { "Blank", { "-s", "-t", " 5" }, ".", refused },
        ArgumentsCase { "TrailingBlank", { "-s", "-t", "5 " }, ".", refused },
        ArgumentsCase { "Hexadecimal", { "-s", "-t", "0x10" }, ".", refused },
        ArgumentsCase { "Exponent", { "-s", "-t", "1e3" }, ".", refused },
        ArgumentsCase { "Infinity", { "-s", "-t", "inf" }, ".", refused },
        ArgumentsCase { "NaN", { "-s", "-t", "nan" }, ".", refused },
        ArgumentsCase { "LoneSeparator", { "-s", "-t", "." }, ".", refused },
        ArgumentsCase { "NoWholePart", { "-s", "-t", ".5" }, ".", refused },
        ArgumentsCase { "NoFraction", { "-s", "-t", "5." }, ".", refused },
        ArgumentsCase { "TwoSeparators", { "-s", "-t", "1.2.3" }, ".", refused },
        ArgumentsCase { "GroupSeparator", { "-s", "-t", "1,000.5" }, ",", refused },
        ArgumentsCase { "EmbeddedNul",
            { "-s", "-t",
                std::string("5\0"
                            "0",
                    3) },
            ".", refused },
        ArgumentsCase { "NoArguments", {}, ".", refused },
        ArgumentsCase { "MissingDelay", { "-s", "-t" }, ".", refused },
        ArgumentsCase { "MissingT", { "-s", "600" }, ".", refused },
        ArgumentsCase { "SwitchesSwapped", { "-t", "600", "-s" }, ".", refused },
        ArgumentsCase { "BothActions", { "-s", "-r", "-t", "600" }, ".", refused },
        ArgumentsCase { "ExtraArgument", { "-s", "-t", "600", "now" }, ".", refused },
        ArgumentsCase { "CancelWithDelay", { "-a", "-t", "600" }, ".", refused },
        ArgumentsCase { "HelpWithMore", { "--help", "-a" }, ".", refused },
        ArgumentsCase { "OtherSystemsHalt", { "-h", "now" }, ".", refused },
        ArgumentsCase { "CapitalSwitch", { "-S", "-t", "600" }, ".", refused },
        ArgumentsCase { "SlashSwitch", { "/s", "/t", "600" }, ".", refused }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ShutdownArguments, RefusalIsOneShortLine)
{
    const std::string hostile = "1\n2\r3\x1b[2J" + std::string(1000, '9');
    const auto parsed = parseShutdownArguments({ "-s", "-t", hostile }, ".");
    ASSERT_TRUE(std::holds_alternative<Refusal>(parsed));
    const std::string &message = std::get<Refusal>(parsed).message;
    EXPECT_EQ(message.find_first_of("\n\r\x1b"), std::string::npos);
    EXPECT_LT(message.size(), 200u);
}

TEST(ShutdownArguments, TakesArgvAfterTheProgramName)
{
    const char *argv[] = { "shutdown", "-r", "-t", "1,5", nullptr };
    const auto parsed = parseShutdownArguments(4, argv, ",");
    ASSERT_TRUE(std::holds_alternative<Request>(parsed));
    EXPECT_EQ(std::get<Request>(parsed), reboot(1500000));
}

TEST(ScheduleTime, AddsTheDelayToTheMicrosecond)
{
    EXPECT_EQ(scheduleTimeUsec(1700000000123456, 90600000), 1700000090723456u);
    EXPECT_EQ(scheduleTimeUsec(1700000000123456, 0), 1700000000123456u);
    EXPECT_EQ(scheduleTimeUsec(1700000000000001, 59999940000000), 1759999940000001u);
}

TEST(ScheduleTime, RefusesWhatDoesNotFit)
{
    EXPECT_EQ(scheduleTimeUsec(-1, 0), std::nullopt);
    EXPECT_EQ(scheduleTimeUsec(0, -1), std::nullopt);
    EXPECT_EQ(scheduleTimeUsec(INT64_MAX, 1), std::nullopt);
    EXPECT_EQ(scheduleTimeUsec(INT64_MAX - 1, 1), std::uint64_t(INT64_MAX));
}

} // namespace
} // namespace korvane
