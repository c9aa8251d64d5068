// The system information launcher and the file lookup against Wine's real registry, process
// start and file system.
#include "core/fakes.h"
#include "core/file_lookup.h"
#include "core/registry.h"
#include "core/sys_info.h"
#include "core/texts.h"
#include "core/utf.h"
#include "os/command_runner_win32.h"
#include "os/temp_folder.h"
#include "win32/probe_log.h"
#include "win32/ui_thread_win32.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <optional>

namespace korvane {
namespace {

namespace fs = std::filesystem;
using testing::FakeMessageBox;

constexpr std::uint32_t currentUser = 0x80000001;

// Values are written with the 8-bit interface, byte for byte, so that the size and the
// terminator are exactly what the row says.
void writeValue(HKEY root, const std::string &key, const std::string &name, DWORD type,
    const std::string &bytes)
{
    HKEY opened = nullptr;
    ASSERT_EQ(RegCreateKeyExA(
                  root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, nullptr),
        ERROR_SUCCESS);
    // The registry keeps a terminator it finds right after the data, so the byte after the
    // data is never zero here: what is stored is exactly `bytes`.
    std::string buffer = bytes + 'X';
    ASSERT_EQ(RegSetValueExA(opened, name.c_str(), 0, type,
                  reinterpret_cast<const BYTE *>(buffer.data()), DWORD(bytes.size())),
        ERROR_SUCCESS);
    RegCloseKey(opened);
}

// The launcher over Wine's registry, file system and process start.
struct NativeLauncher {
    const std::unique_ptr<Registry> registry = makeNativeRegistry();
    const std::unique_ptr<FileLookup> files = makeNativeFileLookup();
    win32::UiThread uiThread;
    Win32CommandRunner runner { uiThread };
    FakeMessageBox messageBox;
    SysInfoLauncher launcher { { *registry, *files, runner, messageBox } };
};

struct ReadCase {
    const char *name;
    DWORD type;
    std::string stored; // the exact bytes; "absent" rows write nothing
    bool absent;
    std::string before;
    bool result;
    std::string after;
};

std::ostream &operator<<(std::ostream &out, const ReadCase &c)
{
    return out << c.name;
}

class RealRegistry : public ::testing::TestWithParam<ReadCase> { };

TEST_P(RealRegistry, GetKeyValueReadsWhatWasWritten)
{
    const ReadCase &row = GetParam();
    const std::string key
        = "Software\\KorvaneTest\\" + std::to_string(GetCurrentProcessId()) + "\\" + row.name;
    if (!row.absent)
        writeValue(HKEY_CURRENT_USER, key, "Value", row.type, row.stored);

    NativeLauncher native;

    std::string value = row.before;
    EXPECT_EQ(native.launcher.GetKeyValue(currentUser, key, "Value", value), row.result);
    EXPECT_EQ(value, row.after);

    RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
}

const std::string text1023(1023, 'x');

INSTANTIATE_TEST_SUITE_P(Values, RealRegistry,
    ::testing::Values(
        ReadCase { "Text", REG_SZ, std::string("C:\\Tools\0", 9), false, "", true, "C:\\Tools" },
        ReadCase { "TextWithoutTerminator", REG_SZ, "abc", false, "", true, "abc" },
        ReadCase { "Exactly1024Bytes", REG_SZ, text1023 + '\0', false, "", true, text1023 },
        ReadCase { "Exactly1024BytesWithoutTerminator", REG_SZ, text1023 + 'z', false, "", true,
            text1023 + 'z' },
        ReadCase { "Bytes1025", REG_SZ, text1023 + "y" + '\0', false, "old", false, "" },
        ReadCase { "SizeZero", REG_SZ, "", false, "old", true, "" },
        ReadCase {
            "ExpandString", REG_EXPAND_SZ, std::string("%X%\0", 4), false, "keep", true, "keep" },
        ReadCase { "Dword261", REG_DWORD, std::string("\x05\x01\0\0", 4), false, "", true, "261" },
        ReadCase { "DwordWithZeroLowBytes", REG_DWORD, std::string("\0\0\0\x01", 4), false, "",
            true, "16777216" },
        ReadCase { "Dword12345678", REG_DWORD, "\x78\x56\x34\x12", false, "", true, "305419896" },
        // The default prefix's ANSI code page is 1252, where E9 is é.
        ReadCase {
            "AnsiCodePage", REG_SZ, std::string("Caf\xE9\0", 5), false, "", true, "Caf\xC3\xA9" },
        ReadCase { "MissingValue", REG_SZ, "", true, "old", false, "" }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(RealRegistryKeys, MissingKeyEmptiesTheValue)
{
    NativeLauncher native;
    std::string value = "old";
    EXPECT_FALSE(
        native.launcher.GetKeyValue(currentUser, "Software\\KorvaneTest\\NoSuchKey", "V", value));
    EXPECT_EQ(value, "");
}

constexpr const char *toolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char *folderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

// The launcher's keys are fixed, so only this suite writes them, one test at a time.
class StartSysInfoOnWine : public ::testing::Test {
protected:
    void SetUp() override
    {
        log.emplace(root / "probe.log");
        probe = testing::ownFolder() / "korvane_probe.exe";
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, toolKey);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, folderKey);
    }

    void TearDown() override
    {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, toolKey);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, folderKey);
    }

    static std::string zeroEnded(const fs::path &path) { return narrow(path.wstring()) + '\0'; }

    // What the launcher showed.
    std::vector<std::string> start()
    {
        NativeLauncher native;
        native.launcher.StartSysInfo();
        return native.messageBox.shown;
    }

    const testing::TempFolder root;
    fs::path probe;
    std::optional<testing::ProbeLog> log;
};

TEST_F(StartSysInfoOnWine, FullPathWithABlankStartsThatProgramOnly)
{
    fs::create_directories(root / "A B");
    fs::copy_file(probe, root / "A B" / "tool.exe");
    fs::copy_file(probe, root / "A.exe"); // what a start split at the blank would run
    writeValue(HKEY_LOCAL_MACHINE, toolKey, "PATH", REG_SZ, zeroEnded(root / "A B" / "tool.exe"));

    EXPECT_TRUE(start().empty());

    const auto runs = log->runs(1);
    ASSERT_EQ(runs.size(), 1U);
    EXPECT_EQ(fs::path(runs[0].module), root / "A B" / "tool.exe");
    EXPECT_EQ(runs[0].show, unsigned(SW_SHOWNORMAL));
    EXPECT_EQ(log->runs(2, 300).size(), 1U) << "nothing else was started";
}

TEST_F(StartSysInfoOnWine, FolderFallbackStartsTheToolInIt)
{
    fs::copy_file(probe, root / "MSINFO32.EXE");
    writeValue(HKEY_LOCAL_MACHINE, folderKey, "MSINFO", REG_SZ, zeroEnded(root.path()));

    EXPECT_TRUE(start().empty());

    const auto runs = log->runs(1);
    ASSERT_EQ(runs.size(), 1U);
    EXPECT_EQ(fs::path(runs[0].module), root / "MSINFO32.EXE");
}

TEST_F(StartSysInfoOnWine, FolderEndingInABackslashStillFindsTheTool)
{
    fs::copy_file(probe, root / "MSINFO32.EXE");
    writeValue(
        HKEY_LOCAL_MACHINE, folderKey, "MSINFO", REG_SZ, narrow(root.path().wstring()) + "\\\0");

    EXPECT_TRUE(start().empty());
    EXPECT_EQ(log->runs(1).size(), 1U);
}

struct UnavailableCase {
    const char *name;
    bool toolKeyExpandString; // "PATH" written as REG_EXPAND_SZ
    bool folderWithoutTool;
};

class StartSysInfoUnavailable : public StartSysInfoOnWine,
                                public ::testing::WithParamInterface<UnavailableCase> { };

TEST_P(StartSysInfoUnavailable, SaysSoAndStartsNothing)
{
    if (GetParam().toolKeyExpandString)
        writeValue(HKEY_LOCAL_MACHINE, toolKey, "PATH", REG_EXPAND_SZ, zeroEnded(probe));
    if (GetParam().folderWithoutTool)
        writeValue(HKEY_LOCAL_MACHINE, folderKey, "MSINFO", REG_SZ, zeroEnded(root.path()));

    EXPECT_EQ(start(), std::vector<std::string> { std::string(texts::sysInfoUnavailable) });
    EXPECT_TRUE(log->runs(1, 300).empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, StartSysInfoUnavailable,
    ::testing::Values(UnavailableCase { "BothKeysMissing", false, false },
        UnavailableCase { "FolderWithoutTheTool", false, true },
        UnavailableCase { "PathOfAnUnreadType", true, false }),
    [](const auto &info) { return std::string(info.param.name); });

struct LookupCase {
    const char *name;
    DWORD attributes; // 0: a folder; otherwise a file with these attributes
    const char *asked; // how the test spells the path it asks for
    bool found;
};

class RealFileLookup : public ::testing::TestWithParam<LookupCase> { };

TEST_P(RealFileLookup, FindsOnlyOrdinaryFilesByTheirLiteralPath)
{
    const LookupCase &row = GetParam();
    const testing::TempFolder folder;
    const fs::path target = folder / "MSINFO32.EXE";
    if (row.attributes == 0) {
        fs::create_directories(target);
    } else {
        std::ofstream(target) << "x";
        SetFileAttributesW(target.wstring().c_str(), row.attributes);
    }

    std::string asked = row.asked;
    const std::string folderText = narrow(folder.path().wstring());
    asked.replace(asked.find("{}"), 2, folderText);
    EXPECT_EQ(makeNativeFileLookup()->isOrdinaryFile(asked), row.found);

    SetFileAttributesW(target.wstring().c_str(), FILE_ATTRIBUTE_NORMAL);
}

INSTANTIATE_TEST_SUITE_P(Paths, RealFileLookup,
    ::testing::Values(
        LookupCase { "OrdinaryFile", FILE_ATTRIBUTE_NORMAL, "{}\\MSINFO32.EXE", true },
        LookupCase { "ReadOnlyFile", FILE_ATTRIBUTE_READONLY, "{}\\MSINFO32.EXE", true },
        LookupCase { "DoubledBackslash", FILE_ATTRIBUTE_NORMAL, "{}\\\\MSINFO32.EXE", true },
        LookupCase { "OtherCase", FILE_ATTRIBUTE_NORMAL, "{}\\msinfo32.exe", true },
        LookupCase { "Folder", 0, "{}\\MSINFO32.EXE", false },
        LookupCase { "HiddenFile", FILE_ATTRIBUTE_HIDDEN, "{}\\MSINFO32.EXE", false },
        LookupCase { "SystemFile", FILE_ATTRIBUTE_SYSTEM, "{}\\MSINFO32.EXE", false },
        LookupCase { "Missing", FILE_ATTRIBUTE_NORMAL, "{}\\MSINFO64.EXE", false },
        LookupCase { "WildcardIsNotAPattern", FILE_ATTRIBUTE_NORMAL, "{}\\MSINFO*.EXE", false }),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace korvane
