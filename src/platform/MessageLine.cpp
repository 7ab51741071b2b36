// The stderr half of a message, the same whatever shows the box.
#include "platform/MessageBox.h"

#include <cstdio>

namespace platform {

void writeMessageLine(const char* caption, const char* text, const char* detail)
{
    std::string line = text;
    if (detail && *detail)
        line = line + " (" + detail + ")";
    for (char& c : line)
        if (c == '\n')
            c = ' ';
    std::fprintf(stderr, "vorimel: %s: %s\n", caption, line.c_str());
    std::fflush(stderr);
}

} // namespace platform
