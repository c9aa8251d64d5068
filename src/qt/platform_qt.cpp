#include "platform_qt.h"

#include <algorithm>
#include <cstdlib>
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
    for (std::size_t start = 0; start <= desktops.size();) {
        const std::size_t end = std::min(desktops.find(':', start), desktops.size());
        if (desktops.substr(start, end - start) == "GNOME")
            return true;
        start = end + 1;
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
