#pragma once

namespace korvane {

// Appends "<label> <steady clock in nanoseconds>" to the file named by KORVANE_TRACE_FILE,
// so bench/run.sh can time a click from inside the program. Bench builds only; elsewhere,
// and when the variable is unset, it does nothing.
void traceMark(const char *label);

} // namespace korvane
