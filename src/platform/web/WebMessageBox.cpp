// Messages in a browser: one line on the console, and the page's own handler shows the
// text over the canvas. The only question, "fullscreen?", is the page's two buttons.
#include "platform/MessageBox.h"

#include <emscripten/emscripten.h>

#include <cstdio>

namespace platform {

Answer askYesNo(const char*, const char*, MessageIcon, std::string* why)
{
    if (why)
        *why = "a page asks with its own buttons";
    return Answer::failed;
}

void showMessage(const char* caption, const char* text, MessageIcon, const char* detail)
{
    if (detail)
        std::fprintf(stderr, "vorimel: %s: %s (%s)\n", caption, text, detail);
    else
        std::fprintf(stderr, "vorimel: %s: %s\n", caption, text);
    EM_ASM(
        {
            if (Module.onMessage)
                Module.onMessage(UTF8ToString($0), UTF8ToString($1), $2 ? UTF8ToString($2) : "");
        },
        caption, text, detail);
}

} // namespace platform
