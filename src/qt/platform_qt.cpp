#include "platform_qt.h"

#include <cstdlib>
#include <ranges>
#include <string_view>

namespace korvane::qt {

namespace {

std::string environment(const char *name)
{
    const char *value = std::getenv(name);
    return value ? value : "";
}

bool isGnome(std::string_view desktops)
{
    for (const auto name : std::views::split(desktops, ':')) {
        if (std::string_view(name.begin(), name.end()) == "GNOME")
            return true;
    }
    return false;
}

} // namespace

Session currentSession()
{
    return { environment("XDG_CURRENT_DESKTOP"), environment("XDG_SESSION_TYPE"),
        environment("DISPLAY"), environment("QT_QPA_PLATFORM") };
}

std::string platformFor(const Session &session)
{
    if (session.chosenPlatform.empty() && session.sessionType == "wayland"
        && !session.display.empty() && isGnome(session.currentDesktop))
        return "xcb";
    return {};
}

} // namespace korvane::qt
