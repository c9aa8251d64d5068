#pragma once

#include <string>

namespace korvane {

// "关于 Korvane": the About window's caption, from the application record.
[[nodiscard]] std::string aboutCaption();

// "版本 1.0.0": the version numbers in plain decimal digits.
[[nodiscard]] std::string versionLine();

inline constexpr const char *aboutDescription
    = "可以定时对计算机进行重启、关机操作。\n祝您使用愉快！korvane.example.org";

inline constexpr const char *aboutDisclaimer
    = "本程序受著作权法保护。未经 Korvane 开发组许可，不得复制、修改或传播本程序。";

} // namespace korvane
