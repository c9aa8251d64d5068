#pragma once

#include "windows_api.h"

#include <cstdint>

namespace korvane::win32 {

// A handle or pointer carried in a message parameter, and one handed on in a parameter or
// as a result: the front end's casts between pointers and the message integers.
template <typename Pointer> [[nodiscard]] Pointer messagePointer(std::uintptr_t parameter)
{
    return reinterpret_cast<Pointer>(parameter);
}

[[nodiscard]] inline LRESULT pointerResult(const void *pointer)
{
    return reinterpret_cast<LRESULT>(pointer);
}

[[nodiscard]] inline WPARAM wParamOf(const void *pointer)
{
    return reinterpret_cast<WPARAM>(pointer);
}

[[nodiscard]] inline LPARAM lParamOf(const void *pointer)
{
    return reinterpret_cast<LPARAM>(pointer);
}

} // namespace korvane::win32
