#pragma once

#include "command.h"

namespace korvane {

enum class WindowStyle {
    Hidden,
    NormalWithFocus,
};

// Starts a program and returns at once; the started program is never waited for.
class CommandRunner {
public:
    virtual ~CommandRunner() = default;

    // False when the program could not be started at all (not found, not executable).
    [[nodiscard]] virtual bool start(const Command &command, WindowStyle style) = 0;
};

} // namespace korvane
