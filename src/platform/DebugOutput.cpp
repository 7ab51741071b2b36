// Default routing of the debug channel and the test sink.
#include "platform/DebugOutput.h"

#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {

DebugSink& sink()
{
    static DebugSink s;
    return s;
}

bool debugEnabled()
{
    static const bool enabled = std::getenv("VORIMEL_DEBUG") != nullptr;
    return enabled;
}

} // namespace

void debugOutput(const char* text)
{
    if (sink()) {
        sink()(text);
    } else if (debugEnabled()) {
        std::fputs(text, stderr);
    }
}

void setDebugSink(DebugSink newSink)
{
    sink() = std::move(newSink);
}

} // namespace platform
