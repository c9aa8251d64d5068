#include "core/ui_thread.h"
#include "os/command_runner_linux.h"
#include "os/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
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

// Zombies of this process named `name`: a runner destroyed by an earlier test leaves its
// programs alone, unreaped, by design.
int zombieChildren(const std::string &name)
{
    int count = 0;
    for (const auto &entry : fs::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line))
            continue;
        // pid (comm) state ppid ...; comm may hold blanks, so read after the last ')'.
        const auto open = line.find('('), close = line.rfind(')');
        std::istringstream rest(line.substr(close + 1));
        char state = 0;
        long parent = 0;
        rest >> state >> parent;
        count += state == 'Z' && parent == getpid()
            && line.substr(open + 1, close - open - 1) == name;
    }
    return count;
}

// The user-interface thread is the test's own: posted tasks wait until the test runs them.
class QueuedUiThread final : public UiThread {
public:
    void post(std::function<void()> task) override
    {
        const std::lock_guard lock(m_mutex);
        m_tasks.push_back(std::move(task));
        m_posted.notify_all();
    }

    // Waits until `count` tasks are queued, without running them.
    bool waitForPosts(std::size_t count, std::chrono::milliseconds patience)
    {
        std::unique_lock lock(m_mutex);
        return m_posted.wait_for(lock, patience, [&] { return m_tasks.size() >= count; });
    }

    void runPosted()
    {
        std::deque<std::function<void()>> tasks;
        {
            const std::lock_guard lock(m_mutex);
            tasks.swap(m_tasks);
        }
        for (const auto &task : tasks)
            task();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_posted;
    std::deque<std::function<void()>> m_tasks;
};

class LinuxRunner : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(helpers);
        fs::create_directories(onPath);
        savedPath = std::getenv("PATH");
        // Only the test's own folder is on PATH, so a runner that searched it could reach
        // nothing but a recorder.
        setenv("PATH", onPath.c_str(), 1);
    }

    void TearDown() override { setenv("PATH", savedPath.c_str(), 1); }

    void writeProgram(const std::string &name, const std::string &body)
    {
        std::ofstream(helpers / name) << "#!/bin/sh\n" << body << "\n";
        fs::permissions(helpers / name, fs::perms::owner_all);
    }

    // Runs until the test creates "go", or for two minutes (longer than the test waits before
    // it does), so that a runner that waited would fail.
    std::string untilGo() const
    {
        return "i=0; while [ ! -e '" + (root / "go").string()
            + "' ] && [ $i -lt 6000 ]; do /bin/sleep 0.02; i=$((i + 1)); done";
    }

    // Reports go here, with the thread they ran on.
    ExitReport recordInto(std::vector<int> &codes)
    {
        return [&codes, test = std::this_thread::get_id()](int code) {
            EXPECT_EQ(std::this_thread::get_id(), test);
            codes.push_back(code);
        };
    }

    QueuedUiThread ui;
    const testing::TempFolder root;
    const fs::path helpers = root / "libexec" / "korvane";
    const fs::path onPath = root / "path";
    const fs::path record = root / "record";
    std::string savedPath;
};

TEST_F(LinuxRunner, BareNameStartsTheHelperWithItsArguments)
{
    writeRecorder(helpers / "shutdown", record);
    LinuxCommandRunner runner(helpers.string(), ui);

    ASSERT_TRUE(runner.start({ "shutdown", { "-s", "-t", "600" } }, WindowStyle::Hidden));

    EXPECT_EQ(readWhenWritten(record, 30s), (helpers / "shutdown").string() + " -s -t 600\n");
}

TEST_F(LinuxRunner, NeverLooksOnPath)
{
    writeRecorder(onPath / "shutdown", record);
    LinuxCommandRunner runner(helpers.string(), ui);

    EXPECT_FALSE(runner.start({ "shutdown", { "-a" } }, WindowStyle::Hidden));

    EXPECT_EQ(readWhenWritten(record, 300ms), "");
}

TEST_F(LinuxRunner, AbsolutePathIsStartedAsGiven)
{
    writeRecorder(root / "tool with blank", record);
    LinuxCommandRunner runner(helpers.string(), ui);

    ASSERT_TRUE(
        runner.start({ (root / "tool with blank").string(), {} }, WindowStyle::NormalWithFocus));

    EXPECT_EQ(readWhenWritten(record, 30s), (root / "tool with blank").string() + " \n");
}

TEST_F(LinuxRunner, FailedStarts)
{
    std::ofstream(helpers / "not-executable") << "#!/bin/sh\n";
    fs::permissions(helpers / "not-executable", fs::perms::owner_read);
    LinuxCommandRunner runner(helpers.string(), ui);
    LinuxCommandRunner withoutFolder({}, ui);

    EXPECT_FALSE(runner.start({ "missing", {} }, WindowStyle::Hidden));
    EXPECT_FALSE(runner.start({ "", {} }, WindowStyle::Hidden));
    EXPECT_FALSE(runner.start({ (root / "missing").string(), {} }, WindowStyle::Hidden));
    EXPECT_FALSE(runner.start({ helpers.string(), {} }, WindowStyle::Hidden));
    // Even root needs one execute bit.
    EXPECT_FALSE(runner.start({ "not-executable", {} }, WindowStyle::Hidden));
    EXPECT_FALSE(withoutFolder.start({ "shutdown", { "-a" } }, WindowStyle::Hidden));
}

TEST_F(LinuxRunner, StartedProgramsAreReaped)
{
    writeRecorder(helpers / "quick", record);
    LinuxCommandRunner runner(helpers.string(), ui);

    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(runner.start({ "quick", {} }, WindowStyle::Hidden));
    const auto allRan = std::chrono::steady_clock::now() + 30s;
    while (lineCount(record) < 5 && std::chrono::steady_clock::now() < allRan)
        std::this_thread::sleep_for(10ms);

    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (zombieChildren("quick") > 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(20ms);
    EXPECT_EQ(zombieChildren("quick"), 0);
}

struct ExitCase {
    const char *name;
    const char *body;
    int exitCode;
};

class LinuxRunnerExit : public LinuxRunner, public ::testing::WithParamInterface<ExitCase> { };

TEST_P(LinuxRunnerExit, ReportsTheExitCodeOnTheUiThread)
{
    writeProgram("program", GetParam().body);
    LinuxCommandRunner runner(helpers.string(), ui);
    std::vector<int> codes;

    ASSERT_TRUE(runner.start({ "program", {} }, WindowStyle::Hidden, recordInto(codes)));

    ASSERT_TRUE(ui.waitForPosts(1, 30s));
    EXPECT_TRUE(codes.empty());
    ui.runPosted();
    EXPECT_EQ(codes, std::vector<int> { GetParam().exitCode });
    EXPECT_EQ(zombieChildren("program"), 0);
}

INSTANTIATE_TEST_SUITE_P(Programs, LinuxRunnerExit,
    ::testing::Values(ExitCase { "Success", "exit 0", 0 }, ExitCase { "Failure", "exit 3", 3 },
        ExitCase { "Killed", "kill -KILL $$", 128 + SIGKILL }),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(LinuxRunner, DoesNotWaitForALongProgram)
{
    writeProgram("long", untilGo());
    LinuxCommandRunner runner(helpers.string(), ui);
    std::vector<int> codes;

    const auto before = std::chrono::steady_clock::now();
    ASSERT_TRUE(runner.start({ "long", {} }, WindowStyle::Hidden, recordInto(codes)));
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
    EXPECT_FALSE(ui.waitForPosts(1, 300ms));

    std::ofstream(root / "go").flush();
    ASSERT_TRUE(ui.waitForPosts(1, 30s));
    ui.runPosted();
    EXPECT_EQ(codes, std::vector<int> { 0 });
    EXPECT_EQ(zombieChildren("long"), 0);
}

TEST_F(LinuxRunner, ReportsDoNotOutliveTheRunnerNorDoesItWait)
{
    writeProgram("quick", "exit 1");
    writeProgram("long", "echo $$ > '" + (root / "pid").string() + "'\n" + untilGo());
    std::vector<int> codes;
    auto runner = std::make_unique<LinuxCommandRunner>(helpers.string(), ui);
    ASSERT_TRUE(runner->start({ "long", {} }, WindowStyle::Hidden, recordInto(codes)));
    ASSERT_TRUE(runner->start({ "quick", {} }, WindowStyle::Hidden, recordInto(codes)));
    ASSERT_TRUE(ui.waitForPosts(1, 30s));
    const pid_t longPid = std::stoi(readWhenWritten(root / "pid", 30s));

    const auto before = std::chrono::steady_clock::now();
    runner.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
    ui.runPosted();
    EXPECT_TRUE(codes.empty());

    // Left alone: still running, and still this process's child to reap.
    std::ofstream(root / "go").flush();
    int status = -1;
    EXPECT_EQ(waitpid(longPid, &status, 0), longPid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(LinuxRunnerDefault, HelperFolderIsBesideTheProgramsFolder)
{
    const fs::path self = fs::read_symlink("/proc/self/exe");
    EXPECT_EQ(LinuxCommandRunner::defaultHelperFolder(),
        (self.parent_path().parent_path() / "libexec" / "korvane").string());
}

} // namespace
} // namespace korvane
