#pragma once

#include <QString>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace korvane {

// One line on stderr, "program: line", which the session's journal or the terminal keeps
// whole: a bus's error text may carry line breaks of its own.
inline void tell(QString line)
{
    line.replace(u'\n', u' ').replace(u'\r', u' ');
    std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, line.toLocal8Bit().constData());
    std::fflush(stderr);
}

// Straight out: with Qt 6.4 the bus thread can still be handling a message while the type
// registry is torn down, which writes warnings to stderr and would break the one-line
// message. The kernel closes the sockets; nothing else is held.
[[noreturn]] inline void leave(int code)
{
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(code);
}

} // namespace korvane
