#pragma once

#include "command.h"

#include <functional>
#include <memory>

namespace korvane {

enum class WindowStyle {
    Hidden,
    NormalWithFocus,
};

// Told a started program's exit code, later, on the user-interface thread.
using ExitReport = std::function<void(int exitCode)>;

// Starts a program and returns at once; the started program is never waited for.
class CommandRunner {
public:
    virtual ~CommandRunner() = default;

    // False when the program could not be started at all (not found, not executable).
    // When it started and `onExit` is set, `onExit` gets its exit code once it has ended,
    // posted to the user-interface thread; a program still running when the runner goes
    // is left alone and never reported.
    [[nodiscard]] virtual bool start(
        const Command &command, WindowStyle style, ExitReport onExit = {})
        = 0;
};

class UiThread;

// The operating system's way of starting programs, for the running program; exit reports
// go to `uiThread`, which must outlive the runner.
[[nodiscard]] std::unique_ptr<CommandRunner> makeNativeCommandRunner(UiThread &uiThread);

} // namespace korvane
