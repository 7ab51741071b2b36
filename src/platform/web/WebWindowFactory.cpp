// In a browser the window is the page's canvas.
#include "platform/WindowFactory.h"

#include "platform/web/WebCanvas.h"

namespace platform {

std::unique_ptr<GLSurface> createWindowSurface(
    const char*, int width, int height, bool, WindowFailure& failure, std::string& error)
{
    // the page sized the canvas and went fullscreen on its own button: the click that
    // a browser requires for both
    std::unique_ptr<GLSurface> canvas = WebCanvas::create("#canvas", width, height, error);
    failure = canvas ? WindowFailure::none : WindowFailure::context;
    return canvas;
}

} // namespace platform
