#pragma once

#include "core/ui_thread.h"

#include "windows_api.h"

namespace korvane {

// A message-only window on the thread that makes this object: post() hands the task to it
// with PostMessageW, and its window procedure runs the task there.
class Win32UiThread final : public UiThread {
public:
    Win32UiThread();
    ~Win32UiThread() override;
    Win32UiThread(const Win32UiThread &) = delete;
    Win32UiThread &operator=(const Win32UiThread &) = delete;

    void post(std::function<void()> task) override;

private:
    HWND m_window = nullptr;
};

} // namespace korvane
