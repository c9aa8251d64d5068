#pragma once

#include <QObject>

#include <cstdint>
#include <optional>

class QSocketNotifier;
class QTimer;

namespace korvane::notifier {

// Rings at a moment of the wall clock, the clock logind's schedule counts in: on time after
// the machine slept, which a monotonic timer is not (it stands still meanwhile), and at once
// whenever the clock is set, so that whoever listens can look again.
class RealtimeAlarm : public QObject {
    Q_OBJECT

public:
    explicit RealtimeAlarm(QObject *parent = nullptr);
    ~RealtimeAlarm() override;

    // Never rings early; nullopt: not at all.
    void ringAt(std::optional<std::int64_t> usec);

signals:
    void rang();

private:
    void read();
    void fallbackRang();

    int m_descriptor = -1;
    QSocketNotifier *m_readable = nullptr;
    // Only where the kernel refuses a timer descriptor: a monotonic timer is better than none.
    QTimer *m_fallback = nullptr;
    std::int64_t m_fallbackUsec = 0;

    Q_DISABLE_COPY_MOVE(RealtimeAlarm)
};

} // namespace korvane::notifier
