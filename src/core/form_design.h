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
// and the Win32 windows cannot drift apart. Each row is a named constant, and a front end
// reaches a control through its row's address, so a misspelt control does not compile.
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
    // The design's object name; elements of a control array share it.
    std::string_view name;
    ControlKind kind;
    // UTF-8, with "&" before an access key; empty where the caption is set at run time.
    std::string_view caption;
    // Relative to the container; a line's height is its thickness.
    TwipsRect rect;
    int tabIndex = noTabStop;
    // nullptr for the window itself.
    const ControlDesign *container = nullptr;
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
    std::span<const ControlDesign *const> controls;
};

// The rows in tab order, those without a tab stop last. Both toolkits move the focus in
// creation order, so they create the controls in this order.
[[nodiscard]] inline std::vector<const ControlDesign *> inTabOrder(const FormDesign &form)
{
    std::vector<const ControlDesign *> ordered(form.controls.begin(), form.controls.end());
    std::ranges::stable_sort(ordered, {}, [](const ControlDesign *control) {
        return control->tabIndex == noTabStop ? INT_MAX : control->tabIndex;
    });
    return ordered;
}

} // namespace korvane
