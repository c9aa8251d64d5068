#pragma once

// <windows.h> for every file that also sees the front end's ports (CMake defines UNICODE
// and NOMINMAX for all of them).
#include <windows.h>

// The A/W functions are macros, and this one would rename korvane::MessageBox.
#undef MessageBox
