#include "top_level_win32.h"

#include "message_parameter_win32.h"

#include <algorithm>
#include <cwctype>
#include <string>

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

// The letter after a single "&" in a control's text, upper case; 0 when there is none.
[[nodiscard]] wint_t accessKey(HWND control)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    for (std::size_t at = text.find(L'&'); at != std::wstring::npos && at + 1 < text.size();
         at = text.find(L'&', at + 2)) {
        if (text[at + 1] != L'&')
            return std::towupper(text[at + 1]);
    }
    return 0;
}

// Windows moves the focus among the buttons that share an access key and presses none;
// Wine's dialog manager presses the first of them. Doing it here makes both alike.
[[nodiscard]] bool moveAmongSharedAccessKey(HWND root, const MSG &message)
{
    if (message.message != WM_SYSCHAR)
        return false;
    struct Search {
        wint_t key;
        std::vector<HWND> buttons;
    } search { std::towupper(static_cast<wint_t>(message.wParam)), {} };
    EnumChildWindows(
        root,
        [](HWND child, LPARAM parameter) {
            auto &found = *messagePointer<Search *>(parameter);
            if (IsWindowVisible(child) && IsWindowEnabled(child)
                && (SendMessageW(child, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON)
                && accessKey(child) == found.key)
                found.buttons.push_back(child);
            return TRUE;
        },
        lParamOf(&search));
    if (search.buttons.size() < 2)
        return false;
    // Child windows come in creation order, which is the tab order.
    auto next = std::ranges::find(search.buttons, GetFocus());
    if (next != search.buttons.end())
        ++next;
    SetFocus(next == search.buttons.end() ? search.buttons.front() : *next);
    return true;
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
    return moveAmongSharedAccessKey(root, message) || IsDialogMessageW(root, &message);
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
