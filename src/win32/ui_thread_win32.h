#pragma once

#include "base_window_win32.h"
#include "core/ui_thread.h"

namespace korvane::win32 {

// A message-only window on the thread that makes this object: post() hands the task to it
// with PostMessageW, and its window procedure runs the task there.
class UiThread final : public korvane::UiThread, public BaseWindow<UiThread> {
public:
    static constexpr const wchar_t *className = L"KorvaneUiThread";

    UiThread();
    ~UiThread() override;
    UiThread(const UiThread &) = delete;
    UiThread &operator=(const UiThread &) = delete;

    void post(std::function<void()> task) override;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
};

} // namespace korvane::win32
