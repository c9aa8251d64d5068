#include "command.h"

namespace korvane {

std::string Command::text() const
{
    std::string line = program;
    for (const std::string &argument : arguments) {
        line += ' ';
        line += argument;
    }
    return line;
}

} // namespace korvane
