// Whether a display answers, asked before any window exists: a question box that
// cannot be drawn is then told apart from a machine that has no display at all.
#pragma once

#include <string>

namespace platform {

// True when a window could be opened; otherwise `why` says what is missing.
bool displayAvailable(std::string& why);

} // namespace platform
