// What the page learns from the program beyond its messages: for the page's ?bench, how
// long each frame took to draw and which scene drew it.
#pragma once

namespace platform {

// Returns once the browser's GL has drawn what was sent so far (a pixel read back waits
// for it), so that a frame's time includes the drawing.
void waitUntilDrawn();
// Hands one frame's time to the page's Module.onFrameTime, if it set one.
void reportFrameTime(const char* scene, double milliseconds);

} // namespace platform
