#pragma once

namespace korvane {

// What the machine is asked to do once the delay has run out.
enum class PowerAction {
    Shutdown,
    Restart,
};

} // namespace korvane
