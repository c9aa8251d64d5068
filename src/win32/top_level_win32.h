#pragma once

#include "windows_api.h"

#include <functional>
#include <vector>

namespace korvane::win32 {

// The program's open top-level windows, in the order they opened. The process lives while
// one of them is open (the last one out calls the action main() gave, ending the loop), and
// the message loop gives them the dialog keys.
class TopLevelWindows {
public:
    static void opened(HWND window);
    static void closed(HWND window);
    static void setOnLastClosed(std::function<void()> action);
};

// Runs the thread's message loop until WM_QUIT. Returns WM_QUIT's exit code.
int runMessageLoop();

// What the loop does with one message: true when it was a dialog key (Tab, access keys,
// Enter, Esc) for one of our windows and is handled.
bool handleDialogKey(MSG &message);

} // namespace korvane::win32
