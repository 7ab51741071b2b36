// Makes the demo's window behind the GLSurface interface, so that code above the
// platform layer never sees which window system it runs on.
#pragma once

#include "platform/GLSurface.h"

#include <memory>
#include <string>

namespace platform {

// The steps of window creation that can fail, in the order they are taken.
enum class WindowFailure {
    none,
    window,
    context,
    activation,
    frame,
};

// The window with its GL context current and the offscreen frame bound; null with the
// failed step and its cause when it cannot be made. The video system must be up.
std::unique_ptr<GLSurface> createWindowSurface(
    const char* title, int width, int height, bool fullscreen, WindowFailure& failure, std::string& error);

} // namespace platform
