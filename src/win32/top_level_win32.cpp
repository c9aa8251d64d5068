#include "windows_api.h"

#include "top_level_win32.h"

namespace korvane::win32 {

namespace {

constexpr const wchar_t *dialogKeysProperty = L"korvane.dialogKeys";

int openWindows = 0;

std::function<void()> &lastClosedAction()
{
    static std::function<void()> action;
    return action;
}

} // namespace

void TopLevelWindows::opened()
{
    ++openWindows;
}

void TopLevelWindows::closed()
{
    if (--openWindows == 0 && lastClosedAction())
        lastClosedAction()();
}

void TopLevelWindows::setOnLastClosed(std::function<void()> action)
{
    lastClosedAction() = std::move(action);
}

void useDialogKeys(HWND window)
{
    SetPropW(window, dialogKeysProperty, reinterpret_cast<HANDLE>(1));
}

bool handleDialogKey(MSG &message)
{
    const HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    return root && GetPropW(root, dialogKeysProperty) && IsDialogMessageW(root, &message);
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
