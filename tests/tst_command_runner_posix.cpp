#include "platform/command_runner_posix.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

namespace korvane {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Every program these tests start is one of these recorders, written by the test.
void writeRecorder(const fs::path &path, const fs::path &record)
{
    std::ofstream(path) << "#!/bin/sh\necho \"$0 $*\" >> '" << record.string() << "'\n";
    fs::permissions(path, fs::perms::owner_all);
}

std::string readWhenWritten(const fs::path &record, std::chrono::milliseconds patience)
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (std::chrono::steady_clock::now() < deadline) {
        std::ifstream in(record);
        std::stringstream text;
        text << in.rdbuf();
        if (!text.str().empty())
            return text.str();
        std::this_thread::sleep_for(10ms);
    }
    return {};
}

long lineCount(const fs::path &file)
{
    std::ifstream in(file);
    return std::count(std::istreambuf_iterator<char>(in), {}, '\n');
}

int zombieChildren()
{
    int count = 0;
    for (const auto &entry : fs::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line))
            continue;
        // pid (comm) state ppid ...; comm may hold blanks, so read after the last ')'.
        std::istringstream rest(line.substr(line.rfind(')') + 1));
        char state = 0;
        long parent = 0;
        rest >> state >> parent;
        count += state == 'Z' && parent == getpid();
    }
    return count;
}

class PosixRunner : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path()
            / ("korvane-runner-" + std::to_string(getpid()) + "-"
                + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        helpers = root / "libexec" / "korvane";
        onPath = root / "path";
        record = root / "record";
        fs::remove_all(root);
        fs::create_directories(helpers);
        fs::create_directories(onPath);
        savedPath = std::getenv("PATH");
        // Only the test's own folder is on PATH, so a runner that searched it could reach
        // nothing but a recorder.
        setenv("PATH", onPath.c_str(), 1);
    }

    void TearDown() override
    {
        setenv("PATH", savedPath.c_str(), 1);
        fs::remove_all(root);
    }

    fs::path root;
    fs::path helpers;
    fs::path onPath;
    fs::path record;
    std::string savedPath;
};

TEST_F(PosixRunner, BareNameStartsTheHelperWithItsArguments)
{
    writeRecorder(helpers / "shutdown", record);
    PosixCommandRunner runner(helpers.string());

    ASSERT_TRUE(runner.start({ "shutdown", { "-s", "-t", "600" } }, WindowStyle::Hidden));

    EXPECT_EQ(readWhenWritten(record, 5s), (helpers / "shutdown").string() + " -s -t 600\n");
}

TEST_F(PosixRunner, NeverLooksOnPath)
{
    writeRecorder(onPath / "shutdown", record);
    PosixCommandRunner runner(helpers.string());

    EXPECT_FALSE(runner.start({ "shutdown", { "-a" } }, WindowStyle::Hidden));

    EXPECT_EQ(readWhenWritten(record, 300ms), "");
}

TEST_F(PosixRunner, AbsolutePathIsStartedAsGiven)
{
    writeRecorder(root / "tool with blank", record);
    PosixCommandRunner runner(helpers.string());

    ASSERT_TRUE(
        runner.start({ (root / "tool with blank").string(), {} }, WindowStyle::NormalWithFocus));

    EXPECT_EQ(readWhenWritten(record, 5s), (root / "tool with blank").string() + " \n");
}

TEST_F(PosixRunner, FailedStarts)
{
    std::ofstream(helpers / "not-executable") << "#!/bin/sh\n";
    fs::permissions(helpers / "not-executable", fs::perms::owner_read);
    PosixCommandRunner runner(helpers.string());
    PosixCommandRunner withoutFolder({});

    EXPECT_FALSE(runner.start({ "missing", {} }, WindowStyle::Hidden));
    EXPECT_FALSE(runner.start({ "", {} }, WindowStyle::Hidden));
    EXPECT_FALSE(runner.start({ (root / "missing").string(), {} }, WindowStyle::Hidden));
    EXPECT_FALSE(runner.start({ helpers.string(), {} }, WindowStyle::Hidden));
    // Even root needs one execute bit.
    EXPECT_FALSE(runner.start({ "not-executable", {} }, WindowStyle::Hidden));
    EXPECT_FALSE(withoutFolder.start({ "shutdown", { "-a" } }, WindowStyle::Hidden));
}

TEST_F(PosixRunner, StartedProgramsAreReaped)
{
    writeRecorder(helpers / "quick", record);
    PosixCommandRunner runner(helpers.string());

    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(runner.start({ "quick", {} }, WindowStyle::Hidden));
    const auto allRan = std::chrono::steady_clock::now() + 5s;
    while (lineCount(record) < 5 && std::chrono::steady_clock::now() < allRan)
        std::this_thread::sleep_for(10ms);

    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (zombieChildren() > 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(20ms);
    EXPECT_EQ(zombieChildren(), 0);
}

TEST(PosixRunnerDefault, HelperFolderIsBesideTheProgramsFolder)
{
    const fs::path self = fs::read_symlink("/proc/self/exe");
    EXPECT_EQ(PosixCommandRunner::defaultHelperFolder(),
        (self.parent_path().parent_path() / "libexec" / "korvane").string());
}

} // namespace
} // namespace korvane
