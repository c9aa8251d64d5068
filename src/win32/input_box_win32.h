#pragma once

#include "core/input_box.h"

namespace korvane::win32 {

// A dialog modal for the whole program: the prompt, an entry field holding the
// default text all selected, and "确定" / "取消".
class InputBox final : public korvane::InputBox {
public:
    [[nodiscard]] std::string ask(const std::string &prompt, const std::string &title,
        const std::string &defaultText) override;
};

// The controls' ids, for tests that press them.
inline constexpr int inputBoxPromptId = 100;
inline constexpr int inputBoxEditId = 101;

} // namespace korvane::win32
