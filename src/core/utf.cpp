#include "utf.h"

namespace korvane {

namespace {

constexpr char32_t replacement = 0xFFFD;

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The code point that starts at `at`, and moves `at` past it. A malformed sequence gives
// U+FFFD and never swallows the byte that broke it.
char32_t decodeUtf8(std::string_view text, std::size_t &at)
{
    const auto lead = static_cast<unsigned char>(text[at++]);
    if (lead < 0x80)
        return lead;
    int length = 0;
    char32_t value = 0;
    char32_t smallest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 1;
        value = lead & 0x1F;
        smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 2;
        value = lead & 0x0F;
        smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 3;
        value = lead & 0x07;
        smallest = 0x10000;
    } else {
        return replacement;
    }
    for (int i = 0; i < length; ++i) {
        if (at >= text.size() || !isContinuation(static_cast<unsigned char>(text[at])))
            return replacement;
        value = (value << 6) | (static_cast<unsigned char>(text[at++]) & 0x3F);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return replacement;
    return value;
}

void appendUtf8(std::string &out, char32_t value)
{
    if (value < 0x80) {
        out += static_cast<char>(value);
    } else if (value < 0x800) {
        out += static_cast<char>(0xC0 | (value >> 6));
        out += static_cast<char>(0x80 | (value & 0x3F));
    } else if (value < 0x10000) {
        out += static_cast<char>(0xE0 | (value >> 12));
        out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (value & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (value >> 18));
        out += static_cast<char>(0x80 | ((value >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (value & 0x3F));
    }
}

} // namespace

std::wstring widen(std::string_view utf8)
{
    std::wstring wide;
    wide.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const char32_t value = decodeUtf8(utf8, at);
        if constexpr (sizeof(wchar_t) == 2) {
            if (value >= 0x10000) {
                wide += static_cast<wchar_t>(0xD800 + ((value - 0x10000) >> 10));
                wide += static_cast<wchar_t>(0xDC00 + ((value - 0x10000) & 0x3FF));
                continue;
            }
        }
        wide += static_cast<wchar_t>(value);
    }
    return wide;
}

std::string narrow(std::wstring_view wide)
{
    std::string utf8;
    utf8.reserve(wide.size() * 3);
    for (std::size_t at = 0; at < wide.size(); ++at) {
        auto value = static_cast<char32_t>(wide[at]);
        if constexpr (sizeof(wchar_t) == 2) {
            const bool high = value >= 0xD800 && value <= 0xDBFF;
            const bool lowFollows = at + 1 < wide.size()
                && static_cast<char32_t>(wide[at + 1]) >= 0xDC00
                && static_cast<char32_t>(wide[at + 1]) <= 0xDFFF;
            if (high && lowFollows) {
                value = 0x10000 + ((value - 0xD800) << 10)
                    + (static_cast<char32_t>(wide[++at]) - 0xDC00);
            }
        }
        if ((value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF)
            value = replacement;
        appendUtf8(utf8, value);
    }
    return utf8;
}

} // namespace korvane
