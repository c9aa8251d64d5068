#pragma once

#include "twips.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace korvane {

// One row of a designed window: what each front end builds a control from, so that the Qt
// and the Win32 windows cannot drift apart.
enum class ControlKind {
    Frame,
    Button,
    Timer,
    Label,
    Picture,
    Line,
};

inline constexpr int noTabStop = -1;
inline constexpr std::uint32_t defaultColour = 0xFFFFFFFFu;

struct ControlDesign {
    std::string_view name;
    ControlKind kind;
    // UTF-8, with "&" before an access key; empty where the caption is set at run time.
    std::string_view caption;
    // Relative to the container; a line's height is its thickness.
    TwipsRect rect;
    int tabIndex = noTabStop;
    // The container's name; empty for the window itself.
    std::string_view container = {};
    // 0xRRGGBB: a label's text or a line's colour.
    std::uint32_t colour = defaultColour;
    // The element's index in a control array; -1 for a single control.
    int index = -1;
};

struct FormDesign {
    std::string_view name;
    std::string_view caption;
    TwipsSize client;
    // Controls in creation order.
    std::span<const ControlDesign> controls;
};

// The row called `name` (and `index`, for an element of a control array); nullptr when
// there is none.
[[nodiscard]] constexpr const ControlDesign *findControl(
    const FormDesign &form, std::string_view name, int index = -1)
{
    for (const ControlDesign &control : form.controls) {
        if (control.name == name && control.index == index)
            return &control;
    }
    return nullptr;
}

// The rows in tab order, those without a tab stop last. Both toolkits move the focus in
// creation order, so they create the controls in this order.
[[nodiscard]] inline std::vector<const ControlDesign *> inTabOrder(const FormDesign &form)
{
    std::vector<const ControlDesign *> ordered;
    for (const ControlDesign &control : form.controls)
        ordered.push_back(&control);
    std::ranges::stable_sort(ordered, {}, [](const ControlDesign *control) {
        return control->tabIndex == noTabStop ? INT_MAX : control->tabIndex;
    });
    return ordered;
}

} // namespace korvane
