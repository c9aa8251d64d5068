#include "ui_thread_qt.h"

namespace korvane::qt {

void UiThread::post(std::function<void()> task)
{
    // Safe from any thread: a queued call is an event posted to the context's thread.
    QMetaObject::invokeMethod(&m_context, std::move(task), Qt::QueuedConnection);
}

} // namespace korvane::qt
