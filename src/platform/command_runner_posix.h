#pragma once

#include "command_runner.h"

#include <string>

namespace korvane {

// Starts programs with posix_spawn, no shell. A bare program name is looked up only in the
// helper folder, never on PATH: the system's own shutdown takes -t and -a as ignored
// compatibility switches, so "shutdown -a" there would power the machine off.
class PosixCommandRunner final : public CommandRunner {
public:
    explicit PosixCommandRunner(std::string helperFolder);

    [[nodiscard]] bool start(
        const Command &command, WindowStyle style, ExitReport onExit = {}) override;

    // <folder of the running program>/../libexec/korvane
    [[nodiscard]] static std::string defaultHelperFolder();

private:
    std::string m_helperFolder;
};

} // namespace korvane
