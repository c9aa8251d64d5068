#pragma once

#include "command_runner.h"

#include <memory>

namespace korvane {

// The operating system's way of starting programs, for the running program.
[[nodiscard]] std::unique_ptr<CommandRunner> makeNativeCommandRunner();

} // namespace korvane
