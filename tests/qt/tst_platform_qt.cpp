#include "qt/platform_qt.h"

#include <gtest/gtest.h>

namespace korvane::qt {
namespace {

struct PlatformCase {
    const char *name;
    Session session; // XDG_CURRENT_DESKTOP, XDG_SESSION_TYPE, DISPLAY, QT_QPA_PLATFORM, arguments
    const char *platform;
};

class PlatformChoice : public ::testing::TestWithParam<PlatformCase> { };

TEST_P(PlatformChoice, XcbOnlyWhereGnomeWouldLeaveQtToDrawTheTitleBar)
{
    EXPECT_EQ(platformFor(GetParam().session), GetParam().platform);
}

const PlatformCase platformCases[] = {
    { "GnomeOnWayland", { "GNOME", "wayland", ":0", "" }, "xcb" },
    { "UbuntusGnome", { "ubuntu:GNOME", "wayland", ":0", "" }, "xcb" },
    { "GnomeClassic", { "GNOME-Classic:GNOME", "wayland", ":0", "" }, "xcb" },
    { "NoXDisplay", { "GNOME", "wayland", "", "" }, "" },
    { "UsersChoice", { "GNOME", "wayland", ":0", "wayland" }, "" },
    { "UsersArgument", { "GNOME", "wayland", ":0", "", { "-platform", "wayland" } }, "" },
    { "UsersDoubleDashed", { "GNOME", "wayland", ":0", "", { "--platform", "offscreen" } }, "" },
    { "NotQtsSpelling", { "GNOME", "wayland", ":0", "", { "-platform=wayland" } }, "xcb" },
    { "ArgumentWithoutValue", { "GNOME", "wayland", ":0", "", { "-platform" } }, "xcb" },
    { "GnomeOnX11", { "GNOME", "x11", ":0", "" }, "" },
    { "PlasmaDrawsItsOwn", { "KDE", "wayland", ":0", "" }, "" },
    { "SwayDrawsItsOwn", { "sway", "wayland", ":0", "" }, "" },
    { "ANameThatOnlyStartsSo", { "GNOMEish", "wayland", ":0", "" }, "" },
    { "NothingKnown", {}, "" },
};

INSTANTIATE_TEST_SUITE_P(Sessions, PlatformChoice, ::testing::ValuesIn(platformCases),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace korvane::qt
