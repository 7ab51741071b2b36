// The browser's frame loop: emscripten's main loop on requestAnimationFrame.
#include "platform/FrameLoop.h"

#include <emscripten/emscripten.h>

namespace platform {

namespace {

bool (*frameStep)() = nullptr;
void (*finishStep)() = nullptr;

void onAnimationFrame()
{
    if (frameStep())
        return;
    emscripten_cancel_main_loop();
    finishStep();
}

} // namespace

void runFrameLoop(bool (*frame)(), void (*finish)())
{
    frameStep = frame;
    finishStep = finish;
    // 0 frames per second: paced by requestAnimationFrame; not simulated as an
    // infinite loop, so the caller returns and the page gets its control back
    emscripten_set_main_loop(onAnimationFrame, 0, 0);
}

} // namespace platform
