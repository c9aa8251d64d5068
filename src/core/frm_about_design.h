#pragma once

#include "form_design.h"
#include "texts.h"

#include <array>

namespace korvane {

// Where the dialog's client area opens, from the screen's top-left corner.
inline constexpr TwipsRect frmAboutPlacement { 2340, 1935, 5700, 2925 };

inline constexpr std::uint32_t black = 0x000000;

namespace frm_about {

inline constexpr ControlDesign picIcon { "picIcon", ControlKind::Picture, "",
    { 240, 240, 540, 540 }, 1 };
inline constexpr ControlDesign cmdOK { "cmdOK", ControlKind::Button, texts::ok,
    { 4080, 1920, 1500, 345 }, 0 };
inline constexpr ControlDesign cmdSysInfo { "cmdSysInfo", ControlKind::Button, texts::cmdSysInfo,
    { 4080, 2400, 1485, 345 }, 2 };
// The two Line1 elements draw an etched groove: white and two pixels thick under a grey
// line of one pixel.
inline constexpr std::array<ControlDesign, 2> Line1 {
    ControlDesign {
        "Line1", ControlKind::Line, "", { 0, 1680, 5549, 30 }, noTabStop, nullptr, 0xFFFFFF, 0 },
    ControlDesign {
        "Line1", ControlKind::Line, "", { 0, 1680, 5564, 15 }, noTabStop, nullptr, 0x808080, 1 },
};
inline constexpr ControlDesign lblDescription { "lblDescription", ControlKind::Label,
    texts::aboutDescription, { 1050, 1125, 3885, 570 }, 3, nullptr, black };
inline constexpr ControlDesign lblTitle { "lblTitle", ControlKind::Label, "",
    { 1050, 240, 3885, 480 }, 5, nullptr, black };
inline constexpr ControlDesign lblVersion { "lblVersion", ControlKind::Label, "",
    { 1050, 780, 3885, 225 }, 6 };
inline constexpr ControlDesign lblDisclaimer { "lblDisclaimer", ControlKind::Label,
    texts::aboutDisclaimer, { 255, 1920, 3630, 825 }, 4, nullptr, black };

inline constexpr std::array<const ControlDesign *, 9> all { &picIcon, &cmdOK, &cmdSysInfo,
    &Line1[1], &lblDescription, &lblTitle, &Line1[0], &lblVersion, &lblDisclaimer };

} // namespace frm_about

inline constexpr FormDesign frmAboutDesign { "frmAbout", texts::aboutDesignCaption,
    { frmAboutPlacement.width, frmAboutPlacement.height }, frm_about::all };

} // namespace korvane
