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
    // By hand: clang 14 cannot build libstdc++ 12's views::split.
    for (std::size_t start = 0; start <= desktops.size();) {
        const std::size_t end = std::min(desktops.find(':', start), desktops.size());
        if (desktops.substr(start, end - start) == "GNOME")
            return true;
        start = end + 1;
    }
    return false;
}

// As QGuiApplication 6.4 reads its option: "-platform X" or "--platform X", never
// "-platform=X", and one left without its value is ignored.
bool platformArgument(const std::vector<std::string> &arguments)
{
    for (std::size_t i = 0; i + 1 < arguments.size(); ++i) {
        std::string_view argument = arguments[i];
        if (argument.starts_with("--"))
            argument.remove_prefix(1);
        if (argument == "-platform")
            return true;
    }
    return false;
}

} // namespace

Session currentSession(int argc, const char *const argv[])
{
    return { environment("XDG_CURRENT_DESKTOP"), environment("XDG_SESSION_TYPE"),
        environment("DISPLAY"), environment("QT_QPA_PLATFORM"),
        std::vector<std::string>(argv + std::min(argc, 1), argv + argc) };
}

std::string platformFor(const Session &session)
{
    if (session.chosenPlatform.empty() && !platformArgument(session.arguments)
        && session.sessionType == "wayland" && !session.display.empty()
        && isGnome(session.currentDesktop))
        return "xcb";
    return {};
}

} // namespace korvane::qt
