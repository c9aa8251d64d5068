#pragma once

#include "power_actions.h"
#include "sys_info.h"

#include <functional>

namespace korvane {

class Clock;

// What the main window reaches the outside world through, whichever toolkit draws it.
struct MainFormServices {
    InputBox &inputBox;
    MessageBox &messageBox;
    CommandRunner &runner;
    const Locale &locale;
    const Clock &clock;
    Registry &registry;
    const FileLookup &files;
    ShutdownExitCodes shutdownCodes;
    // Told after each schedule the system accepted.
    std::function<void()> scheduled = {};

    // What the power buttons and the About window are given, the same in both front ends.
    [[nodiscard]] PowerServices power() const
    {
        return { inputBox, messageBox, runner, locale, shutdownCodes, scheduled };
    }
    [[nodiscard]] SysInfoServices sysInfo() const
    {
        return { registry, files, runner, messageBox };
    }
};

} // namespace korvane
