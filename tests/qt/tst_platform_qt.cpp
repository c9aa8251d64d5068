#include "qt/platform_qt.h"

#include <gtest/gtest.h>

namespace korvane::qt {
namespace {

struct PlatformCase {
    const char *name;
    Session session; // XDG_CURRENT_DESKTOP, XDG_SESSION_TYPE, DISPLAY, QT_QPA_PLATFORM
    const char *platform;
};

class PlatformChoice : public ::testing::TestWithParam<PlatformCase> { };

TEST_P(PlatformChoice, XcbOnlyWhereGnomeWouldLeaveQtToDrawTheTitleBar)
{
    EXPECT_EQ(platformFor(GetParam().session), GetParam().platform);
}

INSTANTIATE_TEST_SUITE_P(Sessions, PlatformChoice,
    ::testing::Values(PlatformCase { "GnomeOnWayland", { "GNOME", "wayland", ":0", "" }, "xcb" },
        PlatformCase { "UbuntusGnome", { "ubuntu:GNOME", "wayland", ":0", "" }, "xcb" },
        PlatformCase { "GnomeClassic", { "GNOME-Classic:GNOME", "wayland", ":0", "" }, "xcb" },
        PlatformCase { "NoXDisplay", { "GNOME", "wayland", "", "" }, "" },
        PlatformCase { "UsersChoice", { "GNOME", "wayland", ":0", "wayland" }, "" },
        PlatformCase { "GnomeOnX11", { "GNOME", "x11", ":0", "" }, "" },
        PlatformCase { "PlasmaDrawsItsOwn", { "KDE", "wayland", ":0", "" }, "" },
        PlatformCase { "SwayDrawsItsOwn", { "sway", "wayland", ":0", "" }, "" },
        PlatformCase { "ANameThatOnlyStartsSo", { "GNOMEish", "wayland", ":0", "" }, "" },
        PlatformCase { "NothingKnown", {}, "" }),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace korvane::qt
