#pragma once

#include <string>
#include <vector>

namespace korvane {

// A program and its arguments, as they reach the operating system: never through a shell.
struct Command {
    std::string program;
    std::vector<std::string> arguments;

    bool operator==(const Command &) const = default;
};

} // namespace korvane
