// Writes the offscreen frame to a PNG file, for looking at what a scene draws.
#pragma once

#include <string>

namespace testsupport {

// The current 640x480 frame, top row first; false when the file can't be written.
bool writeFramePng(const std::string& path);

} // namespace testsupport
