#include "top_level_win32.h"

#include <algorithm>

namespace korvane::win32 {

namespace {

std::vector<HWND> &openWindows()
{
    static std::vector<HWND> windows;
    return windows;
}

std::function<void()> &lastClosedAction()
{
    static std::function<void()> action;
    return action;
}

[[nodiscard]] bool isOurs(HWND window)
{
    return std::ranges::find(openWindows(), window) != openWindows().end();
}

} // namespace

void TopLevelWindows::opened(HWND window)
{
    openWindows().push_back(window);
}

void TopLevelWindows::closed(HWND window)
{
    std::erase(openWindows(), window);
    if (openWindows().empty() && lastClosedAction())
        lastClosedAction()();
}

void TopLevelWindows::setOnLastClosed(std::function<void()> action)
{
    lastClosedAction() = std::move(action);
}

HWND TopLevelWindows::boxOwner()
{
    const HWND active = GetActiveWindow();
    for (HWND window = active; window; window = GetWindow(window, GW_OWNER)) {
        if (isOurs(window))
            return active;
    }
    return openWindows().empty() ? nullptr : openWindows().front();
}

ModalScope::ModalScope(HWND owner)
{
    for (const HWND window : openWindows()) {
        if (window != owner && IsWindowEnabled(window)) {
            EnableWindow(window, FALSE);
            m_disabled.push_back(window);
        }
    }
}

ModalScope::~ModalScope()
{
    for (const HWND window : m_disabled) {
        if (IsWindow(window))
            EnableWindow(window, TRUE);
    }
}

bool handleDialogKey(MSG &message)
{
    const HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (!root || !isOurs(root))
        return false;
    return IsDialogMessageW(root, &message);
}

int runMessageLoop()
{
    MSG message {};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (handleDialogKey(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace korvane::win32
