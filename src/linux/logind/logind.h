#pragma once

#include "realtime.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QLatin1String>
#include <QString>

#include <cstdint>
#include <optional>

// What Korvane's Linux programs say to systemd-logind on the system bus.
namespace korvane::logind {

inline constexpr QLatin1String service { "org.freedesktop.login1" };
inline constexpr QLatin1String path { "/org/freedesktop/login1" };
inline constexpr QLatin1String manager { "org.freedesktop.login1.Manager" };
inline constexpr QLatin1String scheduledShutdownName { "ScheduledShutdown" };

// Long enough for a person to answer a polkit password prompt: a shorter limit would report
// failure for a request that logind goes on to carry out once the person has answered.
// Everything that fails without a person (no logind, no right) is answered at once.
inline constexpr int interactiveTimeoutMs = 120000;
// logind answers a property at once; one that has not by then is hung.
inline constexpr int propertyTimeoutMs = 25000;

// logind's ScheduledShutdown: ("", 0) when nothing is pending.
struct ScheduledShutdown {
    QString type;
    std::int64_t usec = 0;

    [[nodiscard]] bool isPending() const { return !type.isEmpty() && usec != 0; }
    bool operator==(const ScheduledShutdown &) const = default;
};

// A call of the manager's that polkit may answer by asking the person for a password.
[[nodiscard]] QDBusMessage managerCall(const QString &method);

// Asks logind for ScheduledShutdown; scheduledShutdown() reads the answer.
[[nodiscard]] QDBusPendingCall readScheduledShutdown(const QDBusConnection &system);
// nullopt for an error or an answer of another shape.
[[nodiscard]] std::optional<ScheduledShutdown> scheduledShutdown(const QDBusPendingCall &answer);

} // namespace korvane::logind
