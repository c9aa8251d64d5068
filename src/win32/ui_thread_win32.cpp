#include "ui_thread_win32.h"

#include <memory>

namespace korvane {

namespace {

constexpr UINT runTask = WM_APP + 1;
constexpr const wchar_t *className = L"KorvaneUiThread";

using Task = std::function<void()>;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == runTask) {
        const std::unique_ptr<Task> task(reinterpret_cast<Task *>(lParam));
        (*task)();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

Win32UiThread::Win32UiThread()
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass {};
    windowClass.cbSize = sizeof windowClass;
    if (!GetClassInfoExW(instance, className, &windowClass)) {
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = windowProc;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = className;
        RegisterClassExW(&windowClass);
    }
    m_window = CreateWindowExW(
        0, className, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
}

Win32UiThread::~Win32UiThread()
{
    // Tasks still queued are dropped, never run after their thread's objects have gone.
    MSG message {};
    while (PeekMessageW(&message, m_window, runTask, runTask, PM_REMOVE))
        delete reinterpret_cast<Task *>(message.lParam);
    DestroyWindow(m_window);
}

void Win32UiThread::post(std::function<void()> task)
{
    auto owned = std::make_unique<Task>(std::move(task));
    if (PostMessageW(m_window, runTask, 0, reinterpret_cast<LPARAM>(owned.get())))
        owned.release();
}

} // namespace korvane
