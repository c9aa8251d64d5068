#pragma once

#include <functional>

namespace korvane {

// The user-interface thread's event loop, as seen from any thread: a task posted here runs
// later on that thread, between two events, like any handler.
class UiThread {
public:
    virtual ~UiThread() = default;
    virtual void post(std::function<void()> task) = 0;
};

} // namespace korvane
