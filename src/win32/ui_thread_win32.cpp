#include "ui_thread_win32.h"

#include "message_parameter_win32.h"

#include <memory>

namespace korvane::win32 {

namespace {

constexpr UINT runTask = WM_APP + 1;

using Task = std::function<void()>;

} // namespace

UiThread::UiThread()
{
    // Without its window every post is dropped.
    (void)createWindow(0, 0, HWND_MESSAGE);
}

UiThread::~UiThread()
{
    // Tasks still queued are dropped, never run after their thread's objects have gone.
    MSG message {};
    while (window() && PeekMessageW(&message, window(), runTask, runTask, PM_REMOVE))
        delete messagePointer<Task *>(message.lParam);
}

void UiThread::post(std::function<void()> task)
{
    auto owned = std::make_unique<Task>(std::move(task));
    // A null window would post to the calling thread's own queue instead.
    if (window() && PostMessageW(window(), runTask, 0, lParamOf(owned.get())))
        owned.release();
}

LRESULT UiThread::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == runTask) {
        const std::unique_ptr<Task> task(messagePointer<Task *>(lParam));
        (*task)();
        return 0;
    }
    return DefWindowProcW(window(), message, wParam, lParam);
}

} // namespace korvane::win32
