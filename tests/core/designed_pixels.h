#pragma once

#include "core/frm_about_design.h"
#include "core/main_form_design.h"

#include <array>
#include <ostream>
#include <span>

// The designed windows in pixels, written out by hand from the twips, so that the front ends'
// tests hold each window against numbers of their own rather than the conversion's.
namespace korvane::testing {

// Left, top, width, height; a control's in its container's client area.
struct PixelRect {
    int left, top, width, height;
    bool operator==(const PixelRect &) const = default;
};

inline std::ostream &operator<<(std::ostream &out, const PixelRect &rect)
{
    return out << rect.left << "," << rect.top << " " << rect.width << "x" << rect.height;
}

struct DesignedPlace {
    const ControlDesign *row;
    PixelRect at96;
    PixelRect at144;
};

struct WindowPixels {
    const FormDesign &form;
    // The client area: where it opens on the screen (0, 0: where the system puts it), its size.
    PixelRect at96;
    PixelRect at144;
    std::span<const DesignedPlace> places;
};

inline constexpr std::array<DesignedPlace, 7> mainFormPlaces { {
    { &main_form::Frame1, { 8, 8, 265, 185 }, { 12, 12, 398, 278 } },
    { &main_form::Command1, { 24, 16, 97, 41 }, { 36, 24, 146, 62 } },
    { &main_form::Command2, { 136, 16, 105, 41 }, { 204, 24, 158, 62 } },
    { &main_form::Command3, { 24, 72, 97, 41 }, { 36, 108, 146, 62 } },
    { &main_form::Command4, { 136, 72, 105, 41 }, { 204, 108, 158, 62 } },
    { &main_form::Command5, { 24, 128, 97, 41 }, { 36, 192, 146, 62 } },
    { &main_form::Command6, { 136, 128, 105, 41 }, { 204, 192, 158, 62 } },
} };

inline constexpr std::array<DesignedPlace, 9> frmAboutPlaces { {
    { &frm_about::picIcon, { 16, 16, 36, 36 }, { 24, 24, 54, 54 } },
    { &frm_about::cmdOK, { 272, 128, 100, 23 }, { 408, 192, 150, 35 } },
    { &frm_about::cmdSysInfo, { 272, 160, 99, 23 }, { 408, 240, 149, 35 } },
    { &frm_about::Line1[1], { 0, 112, 371, 1 }, { 0, 168, 556, 2 } },
    { &frm_about::lblDescription, { 70, 75, 259, 38 }, { 105, 113, 389, 57 } },
    { &frm_about::lblTitle, { 70, 16, 259, 32 }, { 105, 24, 389, 48 } },
    { &frm_about::Line1[0], { 0, 112, 370, 2 }, { 0, 168, 555, 3 } },
    { &frm_about::lblVersion, { 70, 52, 259, 15 }, { 105, 78, 389, 23 } },
    { &frm_about::lblDisclaimer, { 17, 128, 242, 55 }, { 26, 192, 363, 83 } },
} };

inline constexpr WindowPixels mainFormPixels { mainFormDesign, { 0, 0, 289, 200 },
    { 0, 0, 434, 300 }, mainFormPlaces };
inline constexpr WindowPixels frmAboutPixels { frmAboutDesign, { 156, 129, 380, 195 },
    { 234, 194, 570, 293 }, frmAboutPlaces };

} // namespace korvane::testing
