// The display: whether one answers (asked before any window exists, so that a question
// box that cannot be drawn is told apart from a machine that has no display at all),
// the video system the window lives in, and the cursor.
#pragma once

#include <string>

namespace platform {

// True when a window could be opened; otherwise `why` says what is missing.
bool displayAvailable(std::string& why);

// Brings up the video system; false (with the cause) when there is no display.
bool initVideo(std::string& error);
void quitVideo();
// Whether the desktop can take a fullscreen window showing a frame of that size.
bool fullscreenAvailable(int frameWidth, int frameHeight);
void showCursor(bool visible);

} // namespace platform
