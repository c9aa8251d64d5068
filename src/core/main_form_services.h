#pragma once

#include "shutdown_exit_codes.h"

#include <functional>

namespace korvane {

class Clock;
class CommandRunner;
class FileLookup;
class InputBox;
class Locale;
class MessageBox;
class Registry;

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
};

} // namespace korvane
