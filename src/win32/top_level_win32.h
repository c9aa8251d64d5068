#pragma once

#include "windows_api.h"

#include <functional>
#include <vector>

namespace korvane::win32 {

// The program's open top-level windows, in the order they opened. The process lives while
// one of them is open (the last one out calls the action main() gave, ending the loop), the
// message loop gives them the dialog keys, and a modal box disables them all.
class TopLevelWindows {
public:
    static void opened(HWND window);
    static void closed(HWND window);
    static void setOnLastClosed(std::function<void()> action);

    // What a modal box opens over: the active window when it is ours or owned by one of
    // ours, else the first of ours still open (the main window while it is open), so that
    // a message arriving while another program is active still has an owner.
    [[nodiscard]] static HWND boxOwner();
};

// While it lives, every window of ours but `owner` is disabled, so that no handler runs
// under a modal box; the box itself disables its owner and gives it back the activation.
class ModalScope {
public:
    explicit ModalScope(HWND owner);
    ~ModalScope();
    ModalScope(const ModalScope &) = delete;
    ModalScope &operator=(const ModalScope &) = delete;

private:
    std::vector<HWND> m_disabled;
};

// Runs the thread's message loop until WM_QUIT. Returns WM_QUIT's exit code.
int runMessageLoop();

// What the loop does with one message: true when it was a dialog key (Tab, access keys,
// Enter, Esc) for one of our windows and is handled.
bool handleDialogKey(MSG &message);

} // namespace korvane::win32
