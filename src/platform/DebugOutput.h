// The debug output channel: written to stderr when VORIMEL_DEBUG is set, discarded
// otherwise, and readable by tests through a sink of their own.
#pragma once

#include <functional>

namespace platform {

void debugOutput(const char* text);

// Replaces where debug text goes; an empty function restores the default.
using DebugSink = std::function<void(const char* text)>;
void setDebugSink(DebugSink sink);

} // namespace platform
