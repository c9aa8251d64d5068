#pragma once

#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QObject>

#include <utility>

namespace korvane::notifier {

// Hands the answer to handle once it is in, on context's thread; its watcher goes with it, or
// with context if that goes first. Deleting the watcher before then drops the answer.
template <typename Handler>
QDBusPendingCallWatcher *whenAnswered(
    const QDBusPendingCall &call, QObject *context, Handler handle)
{
    auto *watcher = new QDBusPendingCallWatcher(call, context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
        [watcher, handle = std::move(handle)] {
            watcher->deleteLater();
            handle(static_cast<const QDBusPendingCall &>(*watcher));
        });
    return watcher;
}

} // namespace korvane::notifier
