#pragma once

#include "form_design.h"

#include <array>

namespace korvane {

inline constexpr std::string_view startupCaption = "程序加载中...";
inline constexpr int timer1Interval = 1000;

inline constexpr std::array mainFormControls = {
    ControlDesign { "Frame1", ControlKind::Frame, "功能选择", { 120, 120, 3975, 2775 }, 0 },
    ControlDesign { "Timer1", ControlKind::Timer, "", { 120, 1200, 0, 0 }, noTabStop, "Frame1" },
    ControlDesign {
        "Command6", ControlKind::Button, "赞助我们(&G)", { 2040, 1920, 1575, 615 }, 6, "Frame1" },
    ControlDesign {
        "Command5", ControlKind::Button, "关于本程序(&Q)", { 360, 1920, 1455, 615 }, 5, "Frame1" },
    ControlDesign {
        "Command4", ControlKind::Button, "退出程序(&F)", { 2040, 1080, 1575, 615 }, 4, "Frame1" },
    ControlDesign {
        "Command3", ControlKind::Button, "取消操作(&D)", { 360, 1080, 1455, 615 }, 3, "Frame1" },
    ControlDesign {
        "Command2", ControlKind::Button, "重启计算机(&D)", { 2040, 240, 1575, 615 }, 2, "Frame1" },
    ControlDesign {
        "Command1", ControlKind::Button, "关闭计算机(&C)", { 360, 240, 1455, 615 }, 1, "Frame1" },
};

inline constexpr FormDesign mainFormDesign { "MainForm", startupCaption, { 4335, 3000 },
    mainFormControls };

} // namespace korvane
