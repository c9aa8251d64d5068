#pragma once

#include <string>
#include <vector>

namespace korvane {

// A program and its arguments. Never handed to a shell: the one-line text is for people
// and tests, the parts are what reaches the operating system.
struct Command {
    std::string program;
    std::vector<std::string> arguments;

    // "shutdown -s -t 600": the parts joined by single blanks, unquoted. Only the tests and
    // their fakes call it: a row that reads like the command beats a program and a list.
    [[nodiscard]] std::string text() const;

    bool operator==(const Command &) const = default;
};

} // namespace korvane
