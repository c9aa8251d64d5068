#pragma once

#include "command_runner.h"

#include <string>

namespace korvane {

// The command line CreateProcessW gets: a path is quoted so that it is never re-parsed at
// blanks; arguments are quoted only where they need it.
[[nodiscard]] std::wstring windowsCommandLine(const Command &command);

class Win32CommandRunner final : public CommandRunner {
public:
    [[nodiscard]] bool start(
        const Command &command, WindowStyle style, ExitReport onExit = {}) override;
};

} // namespace korvane
