#pragma once

namespace korvane {

// Appends "<label> <steady clock in nanoseconds>" to the file named by KORVANE_TRACE_FILE,
// so bench/run.sh can time a click from inside the program. Does nothing when the variable
// is unset, which is always outside the bench.
void traceMark(const char *label);

} // namespace korvane
