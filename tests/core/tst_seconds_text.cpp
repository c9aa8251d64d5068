#include "core/seconds_text.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

struct SecondsCase {
    const char *name;
    double minutes;
    const char *separator;
    const char *text;
};

class SecondsTextTest : public ::testing::TestWithParam<SecondsCase> { };

TEST_P(SecondsTextTest, WritesMinutesTimesSixty)
{
    const SecondsCase &row = GetParam();
    EXPECT_EQ(secondsText(row.minutes * 60, row.separator), row.text);
}

INSTANTIATE_TEST_SUITE_P(Delays, SecondsTextTest,
    ::testing::Values(SecondsCase { "Default", 10, ".", "600" },
        SecondsCase { "Zero", 0, ".", "0" }, SecondsCase { "NegativeZero", -0.0, ".", "0" },
        SecondsCase { "OneAndAHalf", 1.5, ".", "90" },
        SecondsCase { "FractionalSeconds", 1.51, ".", "90.6" },
        // 0.03 * 60 is 1.7999999999999998 in double precision.
        SecondsCase { "RoundedToFifteenDigits", 0.03, ".", "1.8" },
        SecondsCase { "HalfMinuteIsWhole", 0.5, ".", "30" },
        SecondsCase { "Negative", -5, ".", "-300" },
        SecondsCase { "NegativeFraction", -0.01, ".", "-0.6" },
        SecondsCase { "Largest", 999999, ".", "59999940" },
        SecondsCase { "NoExponentForTinyValues", 1e-10, ".", "0.000000006" },
        SecondsCase { "NoExponentForHugeWholeValues", 1e16, ".", "600000000000000000" },
        SecondsCase { "CommaLocale", 1.51, ",", "90,6" },
        SecondsCase { "CommaLocaleWholeValue", 2.5, ",", "150" }),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace korvane
