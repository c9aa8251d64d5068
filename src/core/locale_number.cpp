#include "locale_number.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <system_error>

namespace korvane {

namespace {

// QChar::isSpace: the C0 blanks, NEL, and Unicode's separators (no-break and ideographic
// spaces included).
bool isSpace(char16_t c)
{
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680
        || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F
        || c == 0x3000;
}

std::u16string_view trimmed(std::u16string_view text)
{
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// One code unit in the C locale's spelling: digits, '.', ',', '-', '+', 'e'; 0 when the
// locale has no meaning for it.
char toCLocale(char16_t c, const NumberSymbols &symbols)
{
    if (c >= u'0' && c <= u'9')
        return static_cast<char>(c);
    if (c == symbols.decimal)
        return '.';
    // A locale that groups with a no-break space also takes a plain one.
    if (c == symbols.group || (c == u' ' && symbols.group == 0x202F))
        return ',';
    if (c == symbols.minus || c == u'-')
        return '-';
    if (c == symbols.plus || c == u'+')
        return '+';
    if (c == u'e' || c == u'E')
        return 'e';
    return 0;
}

// The C-locale text without its group separators, or empty when the grouping is wrong.
std::string withoutGroups(std::u16string_view text, const NumberSymbols &symbols)
{
    std::string plain;
    std::ptrdiff_t digitsStart = -1;
    std::ptrdiff_t lastGroup = -1;
    bool pastIntegerPart = false;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = toCLocale(text[at], symbols);
        if (c == 0)
            return {};
        const auto index = static_cast<std::ptrdiff_t>(at);
        if (c >= '0' && c <= '9' && digitsStart < 0) {
            digitsStart = index;
        } else if (c == ',') {
            // After the first group of one to three digits, groups of exactly three, and
            // never in the fraction or the exponent.
            if (pastIntegerPart)
                return {};
            if (lastGroup >= 0 ? index - lastGroup != 4
                               : digitsStart < 0 || index - digitsStart > 3)
                return {};
            lastGroup = index;
            continue;
        } else if (c == '.' || c == 'e') {
            if (lastGroup >= 0 && index - lastGroup != 4)
                return {};
            lastGroup = -1;
            pastIntegerPart = true;
        }
        plain += c;
    }
    if (lastGroup >= 0 && static_cast<std::ptrdiff_t>(text.size()) - lastGroup != 4)
        return {};
    return plain;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// [sign] (digits [. digits*] | . digits) [e [sign] digits], and nothing else.
bool wellFormed(std::string_view text)
{
    std::size_t at = 0;
    auto digits = [&] {
        const std::size_t start = at;
        while (at < text.size() && isDigit(text[at]))
            ++at;
        return at - start;
    };
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        ++at;
    std::size_t mantissa = digits();
    if (at < text.size() && text[at] == '.') {
        ++at;
        mantissa += digits();
    }
    if (mantissa == 0)
        return false;
    if (at < text.size() && text[at] == 'e') {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-'))
            ++at;
        if (digits() == 0)
            return false;
    }
    return at == text.size();
}

} // namespace

std::optional<double> parseLocaleNumber(const std::u16string &text, const NumberSymbols &symbols)
{
    const std::string plain = withoutGroups(trimmed(text), symbols);
    if (plain.empty() || !wellFormed(plain))
        return std::nullopt;

    std::string_view number = plain;
    if (number.front() == '+')
        number.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (end != number.data() + number.size())
        return std::nullopt;
    if (error == std::errc::result_out_of_range) {
        // Too large, or below the normal numbers: strtod (the program keeps the C locale)
        // tells a subnormal number, which is kept, from one that became zero.
        value = std::strtod(std::string(number).c_str(), nullptr);
        if (value == 0)
            return std::nullopt;
    } else if (error != std::errc()) {
        return std::nullopt;
    }
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace korvane
