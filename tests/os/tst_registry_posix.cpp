#include "os/registry_posix.h"
#include "os/temp_folder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace korvane {
namespace {

namespace fs = std::filesystem;

constexpr const char *toolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";

class RegistryReplacement : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(root / "a");
        fs::create_directories(root / "b");
    }

    fs::path program(
        const std::string &folder, const std::string &name, fs::perms perms = fs::perms::owner_all)
    {
        fs::path path = root / folder / name;
        std::ofstream(path) << "#!/bin/sh\n";
        fs::permissions(path, perms);
        return path;
    }

    std::string searchPath() const { return (root / "a").string() + ':' + (root / "b").string(); }

    // Opens the tool's key and reads its PATH value the way the reader does.
    std::string readTool(PosixRegistry &registry)
    {
        RegistryHandle key = 0;
        if (registry.open(registry::localMachine, toolKey, 0, registry::keyRead, key)
            != registry::success)
            return "<no key>";
        unsigned char data[1024] {};
        std::uint32_t size = sizeof data;
        std::uint32_t type = 0;
        const long status = registry.query(key, "PATH", type, data, size);
        EXPECT_EQ(registry.close(key), registry::success);
        if (status != registry::success)
            return "<no value>";
        EXPECT_EQ(type, registry::typeString);
        EXPECT_GE(size, 1U);
        EXPECT_EQ(data[size - 1], 0) << "stored with its terminating zero";
        return std::string(reinterpret_cast<const char *>(data), size - 1);
    }

    const testing::TempFolder root;
};

TEST_F(RegistryReplacement, FirstToolInItsOwnOrderWins)
{
    program("a", "hardinfo");
    const fs::path kinfocenter = program("b", "kinfocenter");
    PosixRegistry registry(searchPath());
    EXPECT_EQ(readTool(registry), kinfocenter.string());
}

TEST_F(RegistryReplacement, EarlierFolderWinsForTheSameTool)
{
    const fs::path first = program("a", "hardinfo2");
    program("b", "hardinfo2");
    program("b", "lshw-gtk");
    PosixRegistry registry(searchPath());
    EXPECT_EQ(readTool(registry), first.string());
}

TEST_F(RegistryReplacement, SkipsWhatCannotRun)
{
    program("a", "kinfocenter", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_directories(root / "a" / "hardinfo2");
    const fs::path lshw = program("b", "lshw-gtk");
    PosixRegistry registry(searchPath());
    EXPECT_EQ(readTool(registry), lshw.string());
}

TEST_F(RegistryReplacement, NeverLooksInTheCurrentFolder)
{
    program("a", "hardinfo");
    const fs::path saved = fs::current_path();
    fs::current_path(root / "a");
    PosixRegistry registry(":.:a");
    const std::string tool = readTool(registry);
    fs::current_path(saved);
    EXPECT_EQ(tool, "<no key>");
}

TEST_F(RegistryReplacement, NoToolMeansNoKey)
{
    PosixRegistry registry(searchPath());
    RegistryHandle key = 7;
    EXPECT_EQ(registry.open(registry::localMachine, toolKey, 0, registry::keyRead, key),
        registry::fileNotFound);
    EXPECT_EQ(key, 0U);
}

TEST_F(RegistryReplacement, EveryOtherKeyOrValueIsMissing)
{
    program("a", "hardinfo");
    PosixRegistry registry(searchPath());
    RegistryHandle key = 0;
    EXPECT_EQ(registry.open(registry::localMachine, "SOFTWARE\\Microsoft\\Shared Tools Location", 0,
                  registry::keyRead, key),
        registry::fileNotFound);
    EXPECT_EQ(
        registry.open(0x80000001, toolKey, 0, registry::keyRead, key), registry::fileNotFound);

    ASSERT_EQ(registry.open(registry::localMachine, "software\\microsoft\\shared tools\\msinfo", 0,
                  registry::keyRead, key),
        registry::success)
        << "key names are case-insensitive";
    unsigned char data[1024] {};
    std::uint32_t size = sizeof data;
    std::uint32_t type = 0;
    EXPECT_EQ(registry.query(key, "MSINFO", type, data, size), registry::fileNotFound);
    EXPECT_EQ(registry.close(key), registry::success);
    EXPECT_EQ(registry.close(key), registry::invalidHandle);
}

TEST_F(RegistryReplacement, TooSmallABufferAsksForMore)
{
    const fs::path tool = program("a", "hardinfo");
    PosixRegistry registry(searchPath());
    RegistryHandle key = 0;
    ASSERT_EQ(registry.open(registry::localMachine, toolKey, 0, registry::keyRead, key),
        registry::success);
    unsigned char data[4] {};
    std::uint32_t size = sizeof data;
    std::uint32_t type = 0;
    EXPECT_EQ(registry.query(key, "PATH", type, data, size), registry::moreData);
    EXPECT_EQ(size, tool.string().size() + 1);
    EXPECT_EQ(registry.close(key), registry::success);
}

TEST(RegistryReplacementText, IsUtf8Already)
{
    PosixRegistry registry("");
    EXPECT_EQ(registry.decodeText("/opt/工具/hardinfo"), "/opt/工具/hardinfo");
}

} // namespace
} // namespace korvane
