#pragma once

#include "about_texts.h"
#include "form_design.h"

#include <array>

namespace korvane {

// Where the dialog's client area opens, from the screen's top-left corner.
inline constexpr TwipsRect frmAboutPlacement { 2340, 1935, 5700, 2925 };

inline constexpr std::uint32_t black = 0x000000;

// The two Line1 elements draw an etched groove: white and two pixels thick under a grey
// line of one pixel.
inline constexpr std::array frmAboutControls = {
    ControlDesign { "picIcon", ControlKind::Picture, "", { 240, 240, 540, 540 }, 1 },
    ControlDesign { "cmdOK", ControlKind::Button, "确定", { 4080, 1920, 1500, 345 }, 0 },
    ControlDesign {
        "cmdSysInfo", ControlKind::Button, "系统信息(&S)...", { 4080, 2400, 1485, 345 }, 2 },
    ControlDesign {
        "Line1", ControlKind::Line, "", { 0, 1680, 5564, 15 }, noTabStop, {}, 0x808080, 1 },
    ControlDesign { "lblDescription", ControlKind::Label, aboutDescription,
        { 1050, 1125, 3885, 570 }, 3, {}, black },
    ControlDesign { "lblTitle", ControlKind::Label, "", { 1050, 240, 3885, 480 }, 5, {}, black },
    ControlDesign {
        "Line1", ControlKind::Line, "", { 0, 1680, 5549, 30 }, noTabStop, {}, 0xFFFFFF, 0 },
    ControlDesign { "lblVersion", ControlKind::Label, "", { 1050, 780, 3885, 225 }, 6 },
    ControlDesign { "lblDisclaimer", ControlKind::Label, aboutDisclaimer, { 255, 1920, 3630, 825 },
        4, {}, black },
};

inline constexpr FormDesign frmAboutDesign { "frmAbout", "关于我的应用程序",
    { frmAboutPlacement.width, frmAboutPlacement.height }, frmAboutControls };

} // namespace korvane
