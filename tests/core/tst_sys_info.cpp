#include "core/fakes.h"
#include "core/sys_info.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

using testing::FakeCommandRunner;
using testing::FakeFileLookup;
using testing::FakeMessageBox;
using testing::FakeRegistry;

constexpr const char *testKey = "SOFTWARE\\Korvane\\Test";
constexpr const char *toolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char *folderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

struct Fixture {
    FakeRegistry registry;
    FakeFileLookup files;
    FakeCommandRunner runner;
    FakeMessageBox messageBox;
    SysInfoLauncher launcher { { registry, files, runner, messageBox } };
};

struct ReadCase {
    const char *name;
    std::optional<FakeRegistry::Value> stored; // nullopt: the value does not exist
    std::string before;
    bool result;
    std::string after;
};

std::ostream &operator<<(std::ostream &out, const ReadCase &c)
{
    return out << c.name;
}

class GetKeyValue : public ::testing::TestWithParam<ReadCase> { };

TEST_P(GetKeyValue, ReadsOneValue)
{
    const ReadCase &c = GetParam();
    Fixture f;
    f.registry.keys[testKey] = {};
    if (c.stored)
        f.registry.keys[testKey]["Value"] = *c.stored;

    std::string value = c.before;
    EXPECT_EQ(f.launcher.GetKeyValue(registry::localMachine, testKey, "Value", value), c.result);
    EXPECT_EQ(value, c.after);

    ASSERT_EQ(f.registry.opens.size(), 1U);
    EXPECT_EQ(f.registry.opens[0].root, registry::localMachine);
    EXPECT_EQ(f.registry.opens[0].key, testKey);
    EXPECT_EQ(f.registry.opens[0].options, 0U);
    EXPECT_EQ(f.registry.opens[0].access, 0x20019U);
    EXPECT_EQ(f.registry.openKeys(), 0U) << "every opened key is closed again";
}

const std::string text1023(1023, 'x');

INSTANTIATE_TEST_SUITE_P(Values, GetKeyValue,
    ::testing::Values(
        ReadCase { "TextWithTerminator", FakeRegistry::text("C:\\Tools"), "", true, "C:\\Tools" },
        ReadCase { "TextWithoutTerminator", FakeRegistry::Value { 1, "abc" }, "", true, "abc" },
        ReadCase { "OnlyTheLastZeroIsDropped", FakeRegistry::Value { 1, std::string("ab\0\0", 4) },
            "", true, std::string("ab\0", 3) },
        ReadCase { "TextReplacesWhatWasThere", FakeRegistry::text("new"), "old", true, "new" },
        ReadCase { "TextFromTheAnsiCodePage", FakeRegistry::text("\xE9t\xE9"), "", true,
            "\xC3\xA9t\xC3\xA9" },
        ReadCase { "Exactly1024Bytes", FakeRegistry::text(text1023), "", true, text1023 },
        ReadCase { "Bytes1025FailTheQuery", FakeRegistry::text(text1023 + 'y'), "old", false, "" },
        ReadCase { "SizeZero", FakeRegistry::Value { 1, "" }, "old", true, "" },
        ReadCase { "Dword261", FakeRegistry::dword(261), "", true, "261" },
        ReadCase { "Dword12345678", FakeRegistry::dword(0x12345678), "", true, "305419896" },
        ReadCase { "DwordHighBitSet", FakeRegistry::dword(0xFFFFFFFF), "", true, "4294967295" },
        ReadCase { "DwordFollowsWhatWasThere", FakeRegistry::dword(261), "7", true, "117440773" },
        ReadCase { "ExpandStringLeavesTheText",
            FakeRegistry::Value { 2, std::string("%SystemRoot%\0", 13) }, "keep", true, "keep" },
        ReadCase {
            "BinaryLeavesTheText", FakeRegistry::Value { 3, "\x01\x02" }, "keep", true, "keep" },
        ReadCase { "MissingValue", std::nullopt, "old", false, "" }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(GetKeyValueOpen, MissingKeyEmptiesTheText)
{
    Fixture f;
    std::string value = "old";
    EXPECT_FALSE(f.launcher.GetKeyValue(registry::localMachine, testKey, "Value", value));
    EXPECT_EQ(value, "");
    // The failed open is closed too, on the null handle.
    EXPECT_EQ(f.registry.closes, std::vector<RegistryHandle> { 0 });
}

TEST(GetKeyValueOpen, RefusedKeyCountsAsMissing)
{
    Fixture f;
    f.registry.keys[testKey]["Value"] = FakeRegistry::text("x");
    f.registry.refused.insert(testKey);
    std::string value = "old";
    EXPECT_FALSE(f.launcher.GetKeyValue(registry::localMachine, testKey, "Value", value));
    EXPECT_EQ(value, "");
}

TEST(formatHexValue, KeepsWhatIsNotAHexNumber)
{
    EXPECT_EQ(formatHexValue("&h000105"), "261");
    EXPECT_EQ(formatHexValue("&h"), "&h");
    EXPECT_EQ(formatHexValue("&hold000105"), "&hold000105");
    EXPECT_EQ(formatHexValue("&h1122334455"), "&h1122334455");
}

struct StartCase {
    const char *name;
    std::map<std::string, std::map<std::string, FakeRegistry::Value>> keys;
    std::set<std::string> files;
    bool startsSucceed;
    std::vector<std::string> attempted; // programs the runner was asked to start
    bool message;
    std::vector<std::string> opened; // keys asked for, in order
    std::vector<std::string> checked; // files looked for
};

std::ostream &operator<<(std::ostream &out, const StartCase &c)
{
    return out << c.name;
}

class StartSysInfo : public ::testing::TestWithParam<StartCase> { };

TEST_P(StartSysInfo, StartsTheToolOrSaysItIsUnavailable)
{
    const StartCase &c = GetParam();
    Fixture f;
    f.registry.keys = c.keys;
    f.files.files = c.files;
    f.runner.startsSucceed = c.startsSucceed;

    f.launcher.StartSysInfo();

    std::vector<std::string> attempted;
    for (const Command &command : f.runner.attempts) {
        EXPECT_TRUE(command.arguments.empty()) << "the path is one program, never split";
        attempted.push_back(command.program);
    }
    EXPECT_EQ(attempted, c.attempted);
    for (const auto &start : f.runner.started)
        EXPECT_EQ(start.style, WindowStyle::NormalWithFocus);
    EXPECT_EQ(f.messageBox.shown,
        c.message ? std::vector<std::string> { "此时系统信息不可用" }
                  : std::vector<std::string> {});
    std::vector<std::string> opened;
    for (const auto &open : f.registry.opens) {
        EXPECT_EQ(open.access, 0x20019U);
        opened.push_back(open.key);
    }
    EXPECT_EQ(opened, c.opened);
    EXPECT_EQ(f.files.asked, c.checked);
}

const std::map<std::string, FakeRegistry::Value> folderValues { { "MSINFO",
    FakeRegistry::text("C:\\Tools") } };

INSTANTIATE_TEST_SUITE_P(Lookups, StartSysInfo,
    ::testing::Values(
        StartCase { "FullPathStartedUnchecked",
            { { toolKey, { { "PATH", FakeRegistry::text("C:\\Info\\msinfo32.exe") } } },
                { folderKey, folderValues } },
            {}, true, { "C:\\Info\\msinfo32.exe" }, false, { toolKey }, {} },
        StartCase { "FolderHoldsTheTool", { { folderKey, folderValues } },
            { "C:\\Tools\\MSINFO32.EXE" }, true, { "C:\\Tools\\MSINFO32.EXE" }, false,
            { toolKey, folderKey }, { "C:\\Tools\\MSINFO32.EXE" } },
        StartCase { "FolderWithTrailingBackslash",
            { { folderKey, { { "MSINFO", FakeRegistry::text("C:\\Tools\\") } } } },
            { "C:\\Tools\\\\MSINFO32.EXE" }, true, { "C:\\Tools\\\\MSINFO32.EXE" }, false,
            { toolKey, folderKey }, { "C:\\Tools\\\\MSINFO32.EXE" } },
        StartCase { "FolderWithoutTheTool", { { folderKey, folderValues } }, {}, true, {}, true,
            { toolKey, folderKey }, { "C:\\Tools\\MSINFO32.EXE" } },
        StartCase { "BothKeysMissing", {}, {}, true, {}, true, { toolKey, folderKey }, {} },
        StartCase { "ToolKeyWithoutItsValue", { { toolKey, {} } }, {}, true, {}, true,
            { toolKey, folderKey }, {} },
        StartCase { "ExpandStringPathStartsNothing",
            { { toolKey, { { "PATH", FakeRegistry::Value { 2, "%SystemRoot%\\msinfo32.exe" } } } },
                { folderKey, folderValues } },
            { "C:\\Tools\\MSINFO32.EXE" }, true, { "" }, true, { toolKey }, {} },
        StartCase { "FailedStart",
            { { toolKey, { { "PATH", FakeRegistry::text("C:\\Gone\\msinfo32.exe") } } } }, {},
            false, { "C:\\Gone\\msinfo32.exe" }, true, { toolKey }, {} },
        StartCase { "PathWithBlanksIsOneProgram",
            { { toolKey,
                { { "PATH",
                    FakeRegistry::text("C:\\Program Files\\Info Tool\\msinfo32.exe") } } } },
            {}, true, { "C:\\Program Files\\Info Tool\\msinfo32.exe" }, false, { toolKey }, {} },
        StartCase { "FolderWithBlanksIsOneProgram",
            { { folderKey, { { "MSINFO", FakeRegistry::text("C:\\Program Files\\Info") } } } },
            { "C:\\Program Files\\Info\\MSINFO32.EXE" }, true,
            { "C:\\Program Files\\Info\\MSINFO32.EXE" }, false, { toolKey, folderKey },
            { "C:\\Program Files\\Info\\MSINFO32.EXE" } }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(StartSysInfoFailure, RefusedToolKeyFallsBackToTheFolder)
{
    Fixture f;
    f.registry.keys[toolKey]["PATH"] = FakeRegistry::text("C:\\Info\\msinfo32.exe");
    f.registry.keys[folderKey] = folderValues;
    f.registry.refused.insert(toolKey);
    f.files.files.insert("C:\\Tools\\MSINFO32.EXE");

    f.launcher.StartSysInfo();

    ASSERT_EQ(f.runner.started.size(), 1U);
    EXPECT_EQ(f.runner.started[0].text, "C:\\Tools\\MSINFO32.EXE");
    EXPECT_TRUE(f.messageBox.shown.empty());
}

TEST(StartSysInfoFailure, AnyFailureEndsInTheMessage)
{
    Fixture f;
    f.registry.throwOnOpen = true;

    f.launcher.StartSysInfo();

    EXPECT_TRUE(f.runner.attempts.empty());
    EXPECT_EQ(f.messageBox.shown, std::vector<std::string> { "此时系统信息不可用" });
}

TEST(StartSysInfoFailure, EveryPressLooksAgain)
{
    Fixture f;
    f.launcher.StartSysInfo();
    f.registry.keys[toolKey]["PATH"] = FakeRegistry::text("C:\\Info\\msinfo32.exe");
    f.launcher.StartSysInfo();
    f.launcher.StartSysInfo();

    EXPECT_EQ(f.messageBox.shown.size(), 1U);
    EXPECT_EQ(f.runner.started.size(), 2U);
}

} // namespace
} // namespace korvane
