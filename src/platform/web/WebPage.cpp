// The page's hooks, through emscripten.
#include "platform/web/WebPage.h"

#include <GLES2/gl2.h>
#include <emscripten/emscripten.h>

namespace platform {

void waitUntilDrawn()
{
    unsigned char pixel[4];
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
}

void reportFrameTime(const char* scene, double milliseconds)
{
    EM_ASM(
        {
            if (Module.onFrameTime)
                Module.onFrameTime(UTF8ToString($0), $1);
        },
        scene, milliseconds);
}

} // namespace platform
