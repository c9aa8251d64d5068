#pragma once

#include "command_runner.h"

#include <memory>

namespace korvane {

class UiThread;

// The operating system's way of starting programs, for the running program; exit reports
// go to `uiThread`, which must outlive the runner.
[[nodiscard]] std::unique_ptr<CommandRunner> makeNativeCommandRunner(UiThread &uiThread);

} // namespace korvane
