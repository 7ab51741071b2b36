// The display through SDL2's video subsystem: whether one answers, the desktop's mode, the cursor.
#include "platform/Display.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

namespace platform {

bool initVideo(std::string& error)
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error = std::string("no display: ") + SDL_GetError();
        return false;
    }
    // With no display SDL quietly falls back to a driver whose windows nobody sees.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* requested = std::getenv("SDL_VIDEODRIVER");
    const bool invisible
        = driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
    if (invisible && !(requested && std::strcmp(requested, driver) == 0)) {
        error = std::string("no display: SDL could only offer its '") + driver + "' video driver";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    return true;
}

void quitVideo()
{
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool displayAvailable(std::string& why)
{
    if (!initVideo(why))
        return false;
    quitVideo();
    return true;
}

bool fullscreenAvailable(int frameWidth, int frameHeight)
{
    SDL_DisplayMode mode;
    return SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w >= frameWidth && mode.h >= frameHeight;
}

void showCursor(bool visible)
{
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

} // namespace platform
