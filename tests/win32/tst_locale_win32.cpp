#include "core/locale_number_cases.h"
#include "core/utf.h"
#include "win32/locale_win32.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

class Win32LocaleNumber : public ::testing::TestWithParam<testing::NumberCase> { };

TEST_P(Win32LocaleNumber, AcceptsWhatTheQtConversionAccepts)
{
    const testing::NumberCase &row = GetParam();
    const std::optional<double> number = win32::Locale(widen(row.locale)).toNumber(row.text);

    ASSERT_EQ(number.has_value(), row.isNumber);
    if (row.isNumber) {
        EXPECT_DOUBLE_EQ(*number, row.value);
    }
}

INSTANTIATE_TEST_SUITE_P(Shared, Win32LocaleNumber, ::testing::ValuesIn(testing::numberCases),
    [](const auto &info) { return std::string(info.param.name); });

struct LocaleCase {
    const char *name;
    const wchar_t *locale;
    const char *decimal;
    const char *time;
};

std::ostream &operator<<(std::ostream &out, const LocaleCase &row)
{
    return out << row.name;
}

class Win32LocaleFormats : public ::testing::TestWithParam<LocaleCase> { };

TEST_P(Win32LocaleFormats, SeparatorAndLongTime)
{
    const win32::Locale locale(GetParam().locale);
    EXPECT_EQ(locale.decimalSeparator(), GetParam().decimal);
    EXPECT_EQ(locale.timeText({ 14, 5, 9 }), GetParam().time);
}

INSTANTIATE_TEST_SUITE_P(Locales, Win32LocaleFormats,
    ::testing::Values(LocaleCase { "German", L"de-DE", ",", "14:05:09" },
        LocaleCase { "American", L"en-US", ".", "2:05:09 PM" },
        LocaleCase { "Chinese", L"zh-CN", ".", "14:05:09" }),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace korvane
