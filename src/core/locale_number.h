#pragma once

#include <optional>
#include <string>

namespace korvane {

// The symbols a locale writes numbers with, as UTF-16 code units.
struct NumberSymbols {
    char16_t decimal = u'.';
    char16_t group = u',';
    char16_t minus = u'-';
    char16_t plus = u'+';
};

// Text to a finite number under `symbols`, accepting exactly what the Qt front end's
// conversion (QLocale::toDouble after trimming) accepts, so that both programs take the same
// entries: white space around it; one sign in front and one after the exponent; digits with
// an optional decimal separator (".5" and "5." included); group separators in the integer
// part only, every group after the first exactly three digits; an exponent "e"/"E" with
// digits. Overflow and underflow to zero of a non-zero number are refused, and so are
// infinities and NaN.
[[nodiscard]] std::optional<double> parseLocaleNumber(
    const std::u16string &text, const NumberSymbols &symbols);

} // namespace korvane
