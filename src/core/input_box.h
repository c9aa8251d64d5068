#pragma once

#include <string>

namespace korvane {

// A modal box with a prompt, an entry field and OK / Cancel. Returns the field's text on
// OK and the empty text on Cancel or when the box is closed.
class InputBox {
public:
    virtual ~InputBox() = default;
    [[nodiscard]] virtual std::string ask(
        const std::string &prompt, const std::string &title, const std::string &defaultText)
        = 0;
};

} // namespace korvane
