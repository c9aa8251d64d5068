#pragma once

#include <QString>

#include <cstdio>

namespace korvane {

// One line on stderr, "program: line", which the session's journal or the terminal keeps
// whole: a bus's error text may carry line breaks of its own.
inline void tell(const char *program, QString line)
{
    line.replace(u'\n', u' ').replace(u'\r', u' ');
    std::fprintf(stderr, "%s: %s\n", program, line.toLocal8Bit().constData());
    std::fflush(stderr);
}

} // namespace korvane
