// The display in a browser: the page is always there, fullscreen is the page's to ask
// for (on the button click a browser requires), and the cursor is the canvas's style.
#include "platform/Display.h"

#include <emscripten/emscripten.h>

namespace platform {

bool displayAvailable(std::string&)
{
    return true;
}

bool initVideo(std::string&)
{
    return true;
}

void quitVideo()
{
}

bool fullscreenAvailable(int, int)
{
    return true;
}

void showCursor(bool visible)
{
    EM_ASM({ document.querySelector("#canvas").style.cursor = $0 ? "" : "none"; }, visible ? 1 : 0);
}

} // namespace platform
