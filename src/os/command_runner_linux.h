#pragma once

#include "core/command_runner.h"

#include <memory>
#include <string>

namespace korvane {

class UiThread;

// Starts programs with posix_spawn, no shell. A bare program name is looked up only in the
// helper folder, never on PATH: the system's own shutdown takes -t and -a as ignored
// compatibility switches, so "shutdown -a" there would power the machine off.
//
// One reaper thread, made before the first program starts, reaps every started program and
// posts its exit code to `uiThread`. Made and destroyed on the user-interface thread;
// `uiThread` must outlive it.
class LinuxCommandRunner final : public CommandRunner {
public:
    LinuxCommandRunner(std::string helperFolder, UiThread &uiThread);
    ~LinuxCommandRunner() override;
    LinuxCommandRunner(const LinuxCommandRunner &) = delete;
    LinuxCommandRunner &operator=(const LinuxCommandRunner &) = delete;

    [[nodiscard]] bool start(
        const Command &command, WindowStyle style, ExitReport onExit = {}) override;

    // <folder of the running program>/../libexec/korvane
    [[nodiscard]] static std::string defaultHelperFolder();

private:
    class Reaper;

    std::string m_helperFolder;
    UiThread &m_uiThread;
    std::unique_ptr<Reaper> m_reaper;
};

} // namespace korvane
