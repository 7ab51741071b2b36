// The SDL2 window with its GL context and offscreen frame.
#include "platform/desktop/SdlWindow.h"

#include "platform/Clock.h"
#include "platform/DebugOutput.h"
#include "platform/desktop/SdlEvents.h"

#include <SDL.h>

#include <cstdio>

namespace platform {

std::unique_ptr<SdlWindow> SdlWindow::create(
    const char* title, int width, int height, bool fullscreen, WindowFailure& failure, std::string& error)
{
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);

    std::unique_ptr<SdlWindow> window(new SdlWindow);
    const Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN
        | (fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : SDL_WINDOW_RESIZABLE);
    window->window_
        = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, flags);
    if (!window->window_) {
        failure = WindowFailure::window;
        error = SDL_GetError();
        return nullptr;
    }
    window->context_ = SDL_GL_CreateContext(window->window_);
    if (!window->context_) {
        failure = WindowFailure::context;
        error = SDL_GetError();
        return nullptr;
    }
    if (SDL_GL_MakeCurrent(window->window_, window->context_) != 0) {
        failure = WindowFailure::activation;
        error = SDL_GetError();
        return nullptr;
    }
    if (!window->frame_.create(width, height)) {
        failure = WindowFailure::frame;
        error = "the " + std::to_string(width) + "x" + std::to_string(height)
            + " offscreen frame is incomplete";
        return nullptr;
    }
    // Vsync where the driver offers it; the demo renders as fast as presenting allows.
    SDL_GL_SetSwapInterval(1);
    SDL_DisplayMode mode {};
    const int display = SDL_GetWindowDisplayIndex(window->window_);
    if (SDL_GL_GetSwapInterval() != 0 && SDL_GetCurrentDisplayMode(display < 0 ? 0 : display, &mode) == 0
        && mode.refresh_rate > 0)
        window->refresh_ = 1.0 / mode.refresh_rate;
    char line[96];
    std::snprintf(line, sizeof line, "window: swap interval %d, refresh %d Hz\n", SDL_GL_GetSwapInterval(),
        mode.refresh_rate);
    debugOutput(line);

    SDL_ShowWindow(window->window_);
    SDL_RaiseWindow(window->window_);
    failure = WindowFailure::none;
    return window;
}

SdlWindow::~SdlWindow()
{
    if (context_)
        releaseContext();
    if (window_)
        SDL_DestroyWindow(window_);
}

bool SdlWindow::pollEvent(WindowEvent& event)
{
    SDL_Event sdlEvent;
    while (SDL_PollEvent(&sdlEvent)) {
        const bool minimised = (SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED) != 0;
        if (translateEvent(sdlEvent, minimised, event))
            return true;
    }
    return false;
}

void SdlWindow::present()
{
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(window_, &width, &height);
    frame_.blitToWindow(width, height);
    const double swapStart = monotonicSeconds();
    SDL_GL_SwapWindow(window_);
    swapWait_ += 0.1 * (monotonicSeconds() - swapStart - swapWait_);
    frame_.bind();
}

bool SdlWindow::shownSize(int& width, int& height) const
{
    SDL_GL_GetDrawableSize(window_, &width, &height);
    return width > 0 && height > 0;
}

double SdlWindow::displayDelay() const
{
    // A swap that waited returned at a refresh, and the frame shows at the next one;
    // one that did not wait queued the frame for the next refresh, half a refresh away
    // on average.
    if (refresh_ <= 0.0)
        return 0.0;
    return swapWait_ > refresh_ / 4 ? refresh_ : refresh_ / 2;
}

bool SdlWindow::releaseContext()
{
    if (!context_)
        return true;
    frame_.destroy();
    const bool released = SDL_GL_MakeCurrent(window_, nullptr) == 0;
    SDL_GL_DeleteContext(context_);
    context_ = nullptr;
    return released;
}

void SdlWindow::leaveFullscreen()
{
    SDL_SetWindowFullscreen(window_, 0);
}

} // namespace platform
