// A headless run draws into the surface it attaches itself; it has no window to make.
#include "platform/WindowFactory.h"

namespace platform {

std::unique_ptr<GLSurface> createWindowSurface(
    const char*, int, int, bool, WindowFailure& failure, std::string& error)
{
    failure = WindowFailure::window;
    error = "a headless run has no window";
    return nullptr;
}

} // namespace platform
