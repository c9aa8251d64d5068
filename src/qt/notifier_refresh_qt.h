#pragma once

namespace korvane::qt {

// Asks the desktop notifier to read logind's schedule again now, starting it through the
// session bus where it is not running. Never waits, and says nothing without a session bus.
void refreshNotifier();

} // namespace korvane::qt
