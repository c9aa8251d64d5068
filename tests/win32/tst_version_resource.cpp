#include "core/app_record.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cwchar>
#include <iterator>
#include <string>
#include <vector>

namespace {

// This program is linked with the program's own resource script, so it carries the same
// version record.
std::vector<char> ownVersionRecord()
{
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    DWORD ignored = 0;
    std::vector<char> record(GetFileVersionInfoSizeW(module, &ignored));
    if (record.empty() || !GetFileVersionInfoW(module, 0, DWORD(record.size()), record.data()))
        return {};
    return record;
}

std::wstring stringValue(std::vector<char> &record, const wchar_t *name)
{
    void *value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\080404B0\\") + name;
    if (!VerQueryValueW(record.data(), path.c_str(), &value, &length) || length == 0)
        return {};
    return static_cast<const wchar_t *>(value);
}

using korvane::app::versionMajor;
using korvane::app::versionMinor;
using korvane::app::versionRevision;

TEST(VersionRecord, NumbersAreTheApplicationRecords)
{
    std::vector<char> record = ownVersionRecord();
    ASSERT_FALSE(record.empty());
    void *value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(record.data(), L"\\", &value, &length));
    const auto *fixed = static_cast<const VS_FIXEDFILEINFO *>(value);
    EXPECT_EQ(fixed->dwFileVersionMS, DWORD(MAKELONG(versionMinor, versionMajor)));
    EXPECT_EQ(fixed->dwFileVersionLS, DWORD(MAKELONG(0, versionRevision)));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
}

TEST(VersionRecord, TextIsMajorDotMinorInTwoDigits)
{
    std::vector<char> record = ownVersionRecord();
    ASSERT_FALSE(record.empty());
    wchar_t text[16] = {};
    std::swprintf(text, std::size(text), L"%d.%02d", versionMajor, versionMinor); // "1.00"
    EXPECT_EQ(stringValue(record, L"FileVersion"), text);
    EXPECT_EQ(stringValue(record, L"ProductVersion"), text);
    EXPECT_EQ(stringValue(record, L"ProductName"), L"Korvane");
}

TEST(Manifest, IsEmbeddedAsTheStartManifest)
{
    HRSRC manifest = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(manifest, nullptr);
    const auto *text = static_cast<const char *>(LockResource(LoadResource(nullptr, manifest)));
    const std::string xml(text, SizeofResource(nullptr, manifest));
    EXPECT_NE(xml.find("asInvoker"), std::string::npos);
    EXPECT_NE(xml.find("PerMonitorV2"), std::string::npos);
    EXPECT_NE(xml.find("Microsoft.Windows.Common-Controls"), std::string::npos);
}

TEST(Icon, HasThirtyTwoPixelsInTrueColourAndIn256Colours)
{
    HRSRC group = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14)); // group icon
    ASSERT_NE(group, nullptr);
#pragma pack(push, 2)
    struct Entry {
        BYTE width, height, colours, reserved;
        WORD planes, bitCount;
        DWORD bytes;
        WORD id;
    };
#pragma pack(pop)
    const auto *header = static_cast<const WORD *>(LockResource(LoadResource(nullptr, group)));
    const auto *entries = reinterpret_cast<const Entry *>(header + 3);
    bool trueColour = false, paletted = false;
    for (WORD i = 0; i < header[2]; ++i) {
        if (entries[i].width != 32 || entries[i].height != 32)
            continue;
        trueColour |= entries[i].bitCount == 32;
        paletted |= entries[i].bitCount == 8;
    }
    EXPECT_TRUE(trueColour);
    EXPECT_TRUE(paletted);
    EXPECT_NE(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, 32, 32, 0), nullptr);
}

} // namespace
