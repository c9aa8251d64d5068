#include "core/file_lookup.h"
#include "os/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace korvane {
namespace {

namespace fs = std::filesystem;

struct LookupCase {
    const char *name;
    const char *path; // below the test's folder; "" asks for the empty path
    bool found;
};

std::ostream &operator<<(std::ostream &out, const LookupCase &c)
{
    return out << c.name;
}

class FileLookupPosix : public ::testing::TestWithParam<LookupCase> {
protected:
    void SetUp() override
    {
        fs::create_directories(root / "folder");
        std::ofstream(root / "MSINFO32.EXE") << "tool";
        std::ofstream(root / ".hidden") << "dot";
        std::ofstream(root / "a*b") << "star";
        fs::create_symlink(root / "MSINFO32.EXE", root / "link");
    }

    const testing::TempFolder root;
};

TEST_P(FileLookupPosix, FindsOnlyOrdinaryFiles)
{
    const LookupCase &c = GetParam();
    const std::string path = *c.path ? (root / c.path).string() : std::string();
    EXPECT_EQ(makeNativeFileLookup()->isOrdinaryFile(path), c.found);
}

INSTANTIATE_TEST_SUITE_P(Paths, FileLookupPosix,
    ::testing::Values(LookupCase { "File", "MSINFO32.EXE", true },
        LookupCase { "Folder", "folder", false }, LookupCase { "Missing", "nothing", false },
        LookupCase { "OtherCase", "msinfo32.exe", false },
        // Linux has no hidden attribute: a dot-file is a file like any other.
        LookupCase { "DotFile", ".hidden", true }, LookupCase { "LinkToAFile", "link", true },
        LookupCase { "NoWildcards", "MSINFO32.*", false },
        LookupCase { "StarTakenLiterally", "a*b", true },
        LookupCase { "WindowsSuffix", "folder\\MSINFO32.EXE", false },
        LookupCase { "Empty", "", false }),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace korvane
