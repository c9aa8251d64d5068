#pragma once

// What the locale's text-to-number conversion accepts, as measured of QLocale::toDouble
// after trimming; both front ends' locales must agree with every row.
namespace korvane::testing {

struct NumberCase {
    const char *name;
    // A BCP 47 name that Qt and Windows both know.
    const char *locale;
    const char *text;
    bool isNumber;
    double value;
};

inline constexpr NumberCase numberCases[] = {
    { "whole", "en-US", "10", true, 10 },
    { "fraction", "en-US", "1.5", true, 1.5 },
    { "negative", "en-US", "-0.5", true, -0.5 },
    { "plusSign", "en-US", "+5", true, 5 },
    { "blanksAround", "en-US", "  7 ", true, 7 },
    { "tabAround", "en-US", "\t7\t", true, 7 },
    { "ideographicSpaceAround", "en-US", "\u30005\u3000", true, 5 },
    { "noBreakSpaceBefore", "en-US", "\u00a05", true, 5 },
    { "empty", "en-US", "", false, 0 },
    { "onlyBlanks", "en-US", "   ", false, 0 },
    { "letters", "en-US", "abc", false, 0 },
    { "numberThenLetters", "en-US", "10abc", false, 0 },
    { "twoNumbers", "en-US", "1 2", false, 0 },
    { "fullWidthDigits", "en-US", "\uff11\uff10", false, 0 },
    { "hexadecimal", "en-US", "0x10", false, 0 },
    { "leadingZero", "en-US", "010", true, 10 },
    { "pointLast", "en-US", "1.", true, 1 },
    { "pointFirst", "en-US", ".5", true, 0.5 },
    { "onlyPoint", "en-US", ".", false, 0 },
    { "onlySign", "en-US", "-", false, 0 },
    { "twoSigns", "en-US", "+-1", false, 0 },
    { "signAfter", "en-US", "1-", false, 0 },
    { "blankAfterSign", "en-US", "- 1", false, 0 },
    { "twoPoints", "en-US", "1.2.3", false, 0 },
    { "groups", "en-US", "1,000,000", true, 1000000 },
    { "groupsAndFraction", "en-US", "12,345,678.9", true, 12345678.9 },
    { "shortGroup", "en-US", "1,00", false, 0 },
    { "longGroup", "en-US", "1,0000", false, 0 },
    { "longFirstGroup", "en-US", "1000,000", false, 0 },
    { "leadingGroup", "en-US", ",100", false, 0 },
    { "trailingGroup", "en-US", "100,", false, 0 },
    { "doubledGroup", "en-US", "1,,000", false, 0 },
    { "groupInFraction", "en-US", "1.000,5", false, 0 },
    { "blankAsGroup", "en-US", "1 000", false, 0 },
    { "exponent", "en-US", "1e3", true, 1000 },
    { "capitalExponent", "en-US", "1E3", true, 1000 },
    { "negativeExponent", "en-US", "1e-3", true, 0.001 },
    { "exponentWithZeros", "en-US", "1e+003", true, 1000 },
    { "exponentWithoutDigits", "en-US", "1e", false, 0 },
    { "exponentWithoutNumber", "en-US", "e3", false, 0 },
    { "fractionalExponent", "en-US", "1e3.5", false, 0 },
    { "groupBeforeExponent", "en-US", "1,000e2", true, 100000 },
    { "nan", "en-US", "nan", false, 0 },
    { "inf", "en-US", "inf", false, 0 },
    { "minusInf", "en-US", "-inf", false, 0 },
    { "overflow", "en-US", "1e999", false, 0 },
    { "underflow", "en-US", "1e-999", false, 0 },
    { "subnormal", "en-US", "1e-320", true, 1e-320 },
    { "manyDigits", "en-US", "12345678901234567890", true, 12345678901234567890.0 },
    { "commaLocale", "de-DE", "2,5", true, 2.5 },
    { "commaLocaleWhole", "de-DE", "999999", true, 999999 },
    { "commaLocalePointIsNoDecimal", "de-DE", "2.5", false, 0 },
    { "commaLocaleGroup", "de-DE", "1.000", true, 1000 },
    { "commaLocaleGroupAndFraction", "de-DE", "1.000,5", true, 1000.5 },
    { "commaLocaleCommaThenDigits", "de-DE", "1,000", true, 1 },
    { "commaLocaleCommaFirst", "de-DE", ",5", true, 0.5 },
    { "commaLocaleCommaLast", "de-DE", "100,", true, 100 },
    { "commaLocaleGroupBeforeExponent", "de-DE", "1.5e2", false, 0 },
};

} // namespace korvane::testing
