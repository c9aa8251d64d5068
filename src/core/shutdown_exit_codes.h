#pragma once

namespace korvane {

// The exit codes of the operating system's shutdown program that the window tells apart.
// They differ between systems: shutdown.exe's 5 is "access denied", the helper's 5 is
// "nothing was scheduled".
struct ShutdownExitCodes {
    int nothingToCancel;
};

// Korvane's own shutdown for Linux, in its helper folder.
inline constexpr ShutdownExitCodes helperExitCodes { .nothingToCancel = 5 };
// shutdown.exe: ERROR_NO_SHUTDOWN_IN_PROGRESS.
inline constexpr ShutdownExitCodes windowsExitCodes { .nothingToCancel = 1116 };

} // namespace korvane
