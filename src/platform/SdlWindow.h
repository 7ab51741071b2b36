// The demo's window through SDL2: a GL compatibility context whose drawing goes into
// the 640x480 offscreen frame, shown scaled with its aspect kept on every present.
#pragma once

#include "platform/GLSurface.h"
#include "platform/OffscreenFrame.h"

#include <memory>
#include <string>

struct SDL_Window;

namespace platform {

// The steps of window creation that can fail, in the order they are taken.
enum class WindowFailure {
    none,
    window,
    context,
    activation,
    frame,
};

// Brings up the video system; false (with the cause) when there is no display.
bool initVideo(std::string& error);
void quitVideo();
// Whether the desktop can take a fullscreen window.
bool fullscreenAvailable();
void showCursor(bool visible);

class SdlWindow : public GLSurface {
public:
    static std::unique_ptr<SdlWindow> create(const char* title, int width, int height,
                                             bool fullscreen, WindowFailure& failure,
                                             std::string& error);
    ~SdlWindow() override;

    bool pollEvent(WindowEvent& event) override;
    void present() override;
    double displayDelay() const override;

    // Releases the context; false when it could not be made non-current.
    bool releaseContext();
    void leaveFullscreen();

private:
    SdlWindow() = default;

    SDL_Window* window_ = nullptr;
    void* context_ = nullptr;
    OffscreenFrame frame_;
    double refresh_ = 0.0;   // seconds per refresh where the swap is tied to it, else 0
    double swapWait_ = 0.0;  // running mean of the time spent in the swap itself
};

} // namespace platform
