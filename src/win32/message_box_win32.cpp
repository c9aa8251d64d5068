#include "message_box_win32.h"

#include "core/app_record.h"
#include "core/texts.h"
#include "core/utf.h"
#include "message_parameter_win32.h"
#include "top_level_win32.h"

#include "windows_api.h"

namespace korvane::win32 {

namespace {

thread_local HHOOK okButtonHook = nullptr;

// MessageBoxW labels its button in the system's language; every button of ours reads
// "确定", whatever language Windows speaks. The box is the first window this thread
// activates after the hook is set.
LRESULT CALLBACK labelOkButton(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && okButtonHook) {
        SetDlgItemTextW(messagePointer<HWND>(wParam), IDOK, widen(texts::ok).c_str());
        UnhookWindowsHookEx(okButtonHook);
        okButtonHook = nullptr;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

void MessageBox::show(const std::string &text)
{
    okButtonHook = SetWindowsHookExW(WH_CBT, labelOkButton, nullptr, GetCurrentThreadId());
    const HWND owner = TopLevelWindows::boxOwner();
    const ModalScope modal(owner);
    MessageBoxW(owner, widen(text).c_str(), widen(app::title).c_str(), MB_OK | MB_SETFOREGROUND);
    if (okButtonHook) {
        UnhookWindowsHookEx(okButtonHook);
        okButtonHook = nullptr;
    }
}

} // namespace korvane::win32
