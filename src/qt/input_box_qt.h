#pragma once

#include "core/input_box.h"

namespace korvane::qt {

// Opens over the active window.
class InputBox final : public korvane::InputBox {
public:
    [[nodiscard]] std::string ask(const std::string &prompt, const std::string &title,
        const std::string &defaultText) override;
};

} // namespace korvane::qt
