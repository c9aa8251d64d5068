#pragma once

#include "core/command_runner.h"

#include <memory>
#include <string>

namespace korvane {

// The command line CreateProcessW gets: a path is quoted so that it is never re-parsed at
// blanks; arguments are quoted only where they need it.
[[nodiscard]] std::wstring windowsCommandLine(const Command &command);

class UiThread;
struct Win32RunnerWaits;

// Starts programs with CreateProcessW; a bare name ("shutdown") only from the system folder,
// never from the program's own folder, the current one or PATH. An exit report is waited for
// on the system's thread pool (RegisterWaitForSingleObject), not on a thread of our own, and
// posted to `uiThread`, which must outlive the runner; a program still running when the
// runner goes is left alone.
class Win32CommandRunner final : public CommandRunner {
public:
    explicit Win32CommandRunner(UiThread &uiThread);
    ~Win32CommandRunner() override;
    Win32CommandRunner(const Win32CommandRunner &) = delete;
    Win32CommandRunner &operator=(const Win32CommandRunner &) = delete;

    [[nodiscard]] bool start(
        const Command &command, WindowStyle style, ExitReport onExit = {}) override;

private:
    UiThread &m_uiThread;
    std::shared_ptr<Win32RunnerWaits> m_waits;
};

} // namespace korvane
