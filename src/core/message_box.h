#pragma once

#include <string>

namespace korvane {

// A modal box with the text, a single OK button and no icon, titled with the application
// title. Returns when the user has pressed OK.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    virtual void show(const std::string &text) = 0;
};

} // namespace korvane
