#pragma once

// <windows.h> as the Win32 front end includes it: wide-character names, no min/max macros.
#ifndef UNICODE
#define UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// The A/W functions are macros, and this one would rename korvane::MessageBox.
#undef MessageBox
