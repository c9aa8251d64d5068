#include "core/locale_number.h"
#include "core/locale_number_cases.h"
#include "core/utf.h"

#include <gtest/gtest.h>

#include <string_view>

namespace korvane {
namespace {

NumberSymbols symbolsOf(std::string_view locale)
{
    if (locale == "de-DE")
        return { u',', u'.', u'-', u'+' };
    return {};
}

class LocaleNumber : public ::testing::TestWithParam<testing::NumberCase> { };

// The same rows as both front ends' locales, without a system behind the symbols.
TEST_P(LocaleNumber, AcceptsWhatTheQtConversionAccepts)
{
    const testing::NumberCase &row = GetParam();
    std::u16string text;
    for (const wchar_t unit : widen(row.text))
        text += static_cast<char16_t>(unit);
    const std::optional<double> number = parseLocaleNumber(text, symbolsOf(row.locale));

    ASSERT_EQ(number.has_value(), row.isNumber);
    if (row.isNumber) {
        EXPECT_DOUBLE_EQ(*number, row.value);
    }
}

INSTANTIATE_TEST_SUITE_P(Shared, LocaleNumber, ::testing::ValuesIn(testing::numberCases),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace korvane
