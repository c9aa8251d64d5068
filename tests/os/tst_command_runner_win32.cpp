#include "core/utf.h"
#include "os/command_runner_win32.h"
#include "os/temp_folder.h"
#include "win32/probe_log.h"
#include "win32/ui_thread_win32.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace korvane {
namespace {

namespace fs = std::filesystem;

struct LineCase {
    const char *name;
    Command command;
    const wchar_t *line;
};

std::ostream &operator<<(std::ostream &out, const LineCase &row)
{
    return out << row.name;
}

class WindowsCommandLine : public ::testing::TestWithParam<LineCase> { };

TEST_P(WindowsCommandLine, QuotesOnlyWhatNeedsIt)
{
    EXPECT_EQ(windowsCommandLine(GetParam().command), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(Commands, WindowsCommandLine,
    ::testing::Values(
        LineCase { "Shutdown", { "shutdown", { "-s", "-t", "600" } }, L"shutdown -s -t 600" },
        LineCase { "Abort", { "shutdown", { "-a" } }, L"shutdown -a" },
        LineCase {
            "PathIsAlwaysQuoted", { "C:\\Tools\\tool.exe", {} }, L"\"C:\\Tools\\tool.exe\"" },
        LineCase {
            "PathWithBlank", { "C:\\Program Files\\x.exe", {} }, L"\"C:\\Program Files\\x.exe\"" },
        LineCase { "ArgumentWithBlank", { "tool", { "a b" } }, L"tool \"a b\"" },
        LineCase { "EmptyArgument", { "tool", { "" } }, L"tool \"\"" },
        LineCase { "QuoteInArgument", { "tool", { "say \"hi\"" } }, L"tool \"say \\\"hi\\\"\"" },
        LineCase { "TrailingBackslash", { "tool", { "C:\\a b\\" } }, L"tool \"C:\\a b\\\\\"" },
        LineCase { "ChineseFolder", { "C:\\工具\\x.exe", {} }, L"\"C:\\工具\\x.exe\"" }),
    [](const auto &info) { return std::string(info.param.name); });

// Every probe started by these tests appends a line to one log, named in the environment.
class Win32Runner : public ::testing::Test {
protected:
    void SetUp() override
    {
        log.emplace(root / "probe.log");
        probe = testing::ownFolder() / "korvane_probe.exe";
    }

    [[nodiscard]] std::vector<testing::ProbeRun> runs(std::size_t atLeast) const
    {
        return log->runs(atLeast);
    }

    const testing::TempFolder root;
    std::optional<testing::ProbeLog> log;
    fs::path probe;
    win32::UiThread uiThread;
    Win32CommandRunner runner { uiThread };
};

TEST_F(Win32Runner, WindowStyleReachesTheProgram)
{
    ASSERT_TRUE(runner.start({ narrow(probe.wstring()), {} }, WindowStyle::Hidden));
    ASSERT_TRUE(runner.start({ narrow(probe.wstring()), {} }, WindowStyle::NormalWithFocus));

    const std::vector<testing::ProbeRun> started = runs(2);
    ASSERT_EQ(started.size(), 2U);
    for (const testing::ProbeRun &run : started)
        EXPECT_TRUE(run.flags & STARTF_USESHOWWINDOW);
    // The two starts may finish in either order.
    EXPECT_EQ(started[0].show + started[1].show, unsigned(SW_HIDE + SW_SHOWNORMAL));
    EXPECT_NE(started[0].show, started[1].show);
}

TEST_F(Win32Runner, BareNameIsFoundOnlyInTheSystemFolder)
{
    // Decoys beside us and in the current folder, where the usual search looks first, must
    // never run: a shutdown.exe unpacked beside korvane.exe would.
    wchar_t system[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0U);
    const std::string name = "korvane-probe-" + std::to_string(GetCurrentProcessId());
    const fs::path genuine = fs::path(system) / (name + ".exe");
    struct Planted {
        std::vector<fs::path> files;
        ~Planted()
        {
            // A probe that has just logged may still hold its file for a moment.
            for (const fs::path &file : files) {
                std::error_code error;
                for (int i = 0; i < 300 && (fs::remove(file, error), error); ++i)
                    Sleep(10);
            }
        }
    } planted { { genuine, testing::ownFolder() / (name + ".exe"), root / (name + ".exe") } };
    for (const fs::path &file : planted.files)
        fs::copy_file(probe, file);
    SetCurrentDirectoryW(root.path().wstring().c_str());
    const bool started = runner.start({ name, { "-x" } }, WindowStyle::Hidden);
    SetCurrentDirectoryW(testing::ownFolder().wstring().c_str());

    ASSERT_TRUE(started);
    const std::vector<testing::ProbeRun> logged = runs(1);
    ASSERT_EQ(logged.size(), 1U);
    EXPECT_EQ(fs::path(logged[0].module), genuine);
    EXPECT_EQ(logged[0].commandLine, name + " -x");
}

TEST_F(Win32Runner, MissingProgramIsAFailedStart)
{
    EXPECT_FALSE(runner.start({ "korvane-no-such-program", {} }, WindowStyle::Hidden));
    EXPECT_FALSE(
        runner.start({ narrow((root / "missing.exe").wstring()), {} }, WindowStyle::Hidden));
    EXPECT_FALSE(runner.start(
        { narrow((root / "no folder" / "x.exe").wstring()), {} }, WindowStyle::Hidden));
    EXPECT_FALSE(runner.start({ "", {} }, WindowStyle::Hidden));
}

TEST_F(Win32Runner, ReturnsWhileTheProgramStillRuns)
{
    const fs::path release = root / "release";

    ASSERT_TRUE(runner.start(
        { narrow(probe.wstring()), { "--wait", narrow(release.wstring()) } }, WindowStyle::Hidden));

    // The release exists only from now on, after start() has returned. The probe takes it
    // and removes it, so it was still running then; a start() that waited for the probe
    // would have returned only after the probe gave up waiting (two minutes) and ended.
    ASSERT_EQ(runs(1).size(), 1U);
    std::ofstream(release) << "go";
    bool taken = false;
    for (int i = 0; i < 3000 && !taken; ++i) {
        Sleep(10);
        taken = !fs::exists(release);
    }
    EXPECT_TRUE(taken) << "the program had already ended when start() returned";
}

TEST_F(Win32Runner, PathWithBlankIsNeverSplitAtTheBlank)
{
    fs::create_directories(root / "A B");
    const fs::path tool = root / "A B" / "tool.exe";
    fs::copy_file(probe, tool);
    fs::copy_file(probe, root / "A.exe"); // what an unquoted start would run instead

    ASSERT_TRUE(runner.start({ narrow(tool.wstring()), {} }, WindowStyle::NormalWithFocus));

    const std::vector<testing::ProbeRun> started = runs(1);
    ASSERT_EQ(started.size(), 1U);
    EXPECT_EQ(fs::path(started[0].module), tool);
}

// Runs the thread's messages, as the program's loop would, until `done` or the patience is
// spent.
bool pumpUntil(const std::function<bool()> &done, int patienceMs = 30000)
{
    for (int waited = 0; !done() && waited < patienceMs; waited += 10) {
        MSG message {};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        Sleep(10);
    }
    return done();
}

TEST_F(Win32Runner, ReportsTheExitCodeOnTheUiThread)
{
    std::optional<int> code;
    DWORD thread = 0;

    ASSERT_TRUE(runner.start(
        { narrow(probe.wstring()), { "--exit", "3" } }, WindowStyle::Hidden, [&](int exitCode) {
            code = exitCode;
            thread = GetCurrentThreadId();
        }));

    ASSERT_TRUE(pumpUntil([&] { return code.has_value(); }));
    EXPECT_EQ(*code, 3);
    EXPECT_EQ(thread, GetCurrentThreadId());
}

TEST_F(Win32Runner, ProgramOutlivingTheRunnerIsLeftAloneAndNeverReported)
{
    const fs::path release = root / "release";
    bool reported = false;
    {
        Win32CommandRunner reporting(uiThread);
        ASSERT_TRUE(
            reporting.start({ narrow(probe.wstring()), { "--wait", narrow(release.wstring()) } },
                WindowStyle::Hidden, [&](int) { reported = true; }));
        ASSERT_EQ(runs(1).size(), 1U);
    }

    // Still running after the runner went: it takes the release file and ends by itself.
    std::ofstream(release) << "go";
    EXPECT_TRUE(pumpUntil([&] { return !fs::exists(release); }));
    Sleep(200); // time for an exit report, were one coming
    pumpUntil([] { return false; }, 100);
    EXPECT_FALSE(reported);
}

} // namespace
} // namespace korvane
