#pragma once

#include "windows_api.h"

#include <functional>

namespace korvane::win32 {

// The process lives while one of its top-level windows is open: each of them counts itself
// in and out here, and the last one out calls the action main() gave (ending the loop).
class TopLevelWindows {
public:
    static void opened();
    static void closed();
    static void setOnLastClosed(std::function<void()> action);
};

// Runs the thread's message loop until WM_QUIT; our windows get the dialog keys (Tab,
// access keys, Enter, Esc) through IsDialogMessageW. Returns WM_QUIT's exit code.
int runMessageLoop();

// Marks a top-level window as one whose keyboard works like a dialog's.
void useDialogKeys(HWND window);

// What the loop does with one message: true when it was a dialog key and is handled.
bool handleDialogKey(MSG &message);

} // namespace korvane::win32
