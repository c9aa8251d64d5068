#pragma once

#include "core/ui_thread.h"

#include <QObject>

namespace korvane::qt {

// Posts to the Qt event loop of the thread that made this object. A task still queued when
// this object goes is dropped, never run.
class UiThread final : public korvane::UiThread {
public:
    void post(std::function<void()> task) override;

private:
    QObject m_context;
};

} // namespace korvane::qt
