#include "core/utf.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

struct UtfCase {
    const char *name;
    std::string utf8;
    std::u32string codePoints;
};

std::ostream &operator<<(std::ostream &out, const UtfCase &row)
{
    return out << row.name;
}

std::u32string codePointsOf(const std::wstring &wide)
{
    std::u32string out;
    for (std::size_t at = 0; at < wide.size(); ++at) {
        auto unit = static_cast<char32_t>(wide[at]);
        if (sizeof(wchar_t) == 2 && unit >= 0xD800 && unit <= 0xDBFF && at + 1 < wide.size())
            unit = 0x10000 + ((unit - 0xD800) << 10) + (static_cast<char32_t>(wide[++at]) - 0xDC00);
        out += unit;
    }
    return out;
}

class Utf : public ::testing::TestWithParam<UtfCase> { };

TEST_P(Utf, WidensToTheCodePoints)
{
    EXPECT_EQ(codePointsOf(widen(GetParam().utf8)), GetParam().codePoints);
}

INSTANTIATE_TEST_SUITE_P(Texts, Utf,
    ::testing::Values(UtfCase { "Ascii", "shutdown -s", U"shutdown -s" },
        UtfCase { "Chinese", "关闭计算机", U"关闭计算机" },
        UtfCase { "BeyondTheBmp", "\xF0\x9F\x98\x80", U"\U0001F600" },
        UtfCase { "StrayContinuation", "a\x80z", U"a\uFFFDz" },
        UtfCase { "CutShort", "a\xE5\x85", U"a\uFFFD" },
        UtfCase { "Overlong", "\xC0\xAF", U"\uFFFD\uFFFD" },
        UtfCase { "Surrogate", "\xED\xA0\x80z", U"\uFFFDz" }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Utf, NarrowsWhatItWidened)
{
    const std::string text = "C:\\Program Files\\系统信息 \xF0\x9F\x98\x80";
    EXPECT_EQ(narrow(widen(text)), text);
}

} // namespace
} // namespace korvane
