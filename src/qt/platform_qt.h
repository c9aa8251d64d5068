#pragma once

#include <string>
#include <vector>

namespace korvane::qt {

// What the choice of Qt's platform plugin depends on, from the environment.
struct Session {
    std::string currentDesktop; // XDG_CURRENT_DESKTOP: desktop names, ":" between them
    std::string sessionType; // XDG_SESSION_TYPE
    std::string display; // DISPLAY
    std::string chosenPlatform; // QT_QPA_PLATFORM
    std::vector<std::string> arguments {}; // the command line after the program's name
};

[[nodiscard]] Session currentSession(int argc, const char *const argv[]);

// The platform plugin to ask Qt for; empty leaves the choice to Qt. GNOME's compositor
// draws no title bar for Wayland clients, and the one Qt draws instead has minimise and
// maximise buttons that neither window may have; through XWayland GNOME draws its own, as
// the windows ask. So "xcb" on a GNOME Wayland session with an X display, unless the user
// has chosen a platform, in QT_QPA_PLATFORM or by Qt's own -platform option.
[[nodiscard]] std::string platformFor(const Session &session);

} // namespace korvane::qt
