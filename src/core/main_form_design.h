#pragma once

#include "form_design.h"
#include "texts.h"

#include <array>

namespace korvane {

inline constexpr int timer1Interval = 1000;

namespace main_form {

inline constexpr ControlDesign Frame1 { "Frame1", ControlKind::Frame, texts::frame1,
    { 120, 120, 3975, 2775 }, 0 };
inline constexpr ControlDesign Timer1 { "Timer1", ControlKind::Timer, "", { 120, 1200, 0, 0 },
    noTabStop, &Frame1 };
inline constexpr ControlDesign Command6 { "Command6", ControlKind::Button, texts::command6,
    { 2040, 1920, 1575, 615 }, 6, &Frame1 };
inline constexpr ControlDesign Command5 { "Command5", ControlKind::Button, texts::command5,
    { 360, 1920, 1455, 615 }, 5, &Frame1 };
inline constexpr ControlDesign Command4 { "Command4", ControlKind::Button, texts::command4,
    { 2040, 1080, 1575, 615 }, 4, &Frame1 };
inline constexpr ControlDesign Command3 { "Command3", ControlKind::Button, texts::command3,
    { 360, 1080, 1455, 615 }, 3, &Frame1 };
inline constexpr ControlDesign Command2 { "Command2", ControlKind::Button, texts::command2,
    { 2040, 240, 1575, 615 }, 2, &Frame1 };
inline constexpr ControlDesign Command1 { "Command1", ControlKind::Button, texts::command1,
    { 360, 240, 1455, 615 }, 1, &Frame1 };

inline constexpr std::array<const ControlDesign *, 8> all { &Frame1, &Timer1, &Command6, &Command5,
    &Command4, &Command3, &Command2, &Command1 };

} // namespace main_form

inline constexpr FormDesign mainFormDesign { "MainForm", texts::loading, { 4335, 3000 },
    main_form::all };

} // namespace korvane
