// The window is an SDL2 window wherever the program runs.
#include "platform/WindowFactory.h"

#include "platform/desktop/SdlWindow.h"

namespace platform {

std::unique_ptr<GLSurface> createWindowSurface(
    const char* title, int width, int height, bool fullscreen, WindowFailure& failure, std::string& error)
{
    return SdlWindow::create(title, width, height, fullscreen, failure, error);
}

} // namespace platform
