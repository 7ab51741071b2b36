// A run without a display (the capture, the tests): no window system to bring up, no
// desktop, no cursor.
#include "platform/Display.h"

namespace platform {

bool displayAvailable(std::string& why)
{
    why = "a headless run has no display";
    return false;
}

bool initVideo(std::string& error)
{
    error = "no display: a headless run draws only into its offscreen frame";
    return false;
}

void quitVideo()
{
}

bool fullscreenAvailable(int, int)
{
    return false;
}

void showCursor(bool)
{
}

} // namespace platform
