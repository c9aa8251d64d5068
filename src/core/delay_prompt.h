#pragma once

#include "power_action.h"

#include <string>

namespace korvane {

class InputBox;
class Locale;
class MessageBox;

inline constexpr double smallestDelayMinutes = 0;
inline constexpr double largestDelayMinutes = 999999;

// Asks for the delay in minutes. A bad first entry is explained and asked once more; the
// second entry is returned as typed, unchecked.
[[nodiscard]] std::string AskDelay(
    PowerAction action, InputBox &inputBox, MessageBox &messageBox, const Locale &locale);

} // namespace korvane
