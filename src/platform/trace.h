#pragma once

namespace korvane {

#ifdef KORVANE_TRACE
// Appends "<label> <steady clock in nanoseconds>" to the file named by KORVANE_TRACE_FILE,
// so bench/run.sh can time a click from inside the program. Does nothing when the variable
// is unset. Bench builds only (KORVANE_BENCH sets KORVANE_TRACE).
void traceMark(const char *label);
#else
// Every other build reads no environment and writes no file: the calls compile to nothing.
inline void traceMark(const char * /*label*/)
{
}
#endif

} // namespace korvane
