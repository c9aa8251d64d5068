#pragma once

#include <string_view>

// Where the Linux desktop notifier answers on the session bus: the notifier offers it and
// the main window calls it. The interface is also the notifier's D-Bus class name, which
// has to be a literal there.
namespace korvane::notifier_bus {

inline constexpr std::string_view service = "org.example.Korvane.Notifier";
inline constexpr std::string_view path = "/org/example/Korvane/Notifier";
inline constexpr std::string_view interface = service;
inline constexpr std::string_view refresh = "Refresh";

} // namespace korvane::notifier_bus
