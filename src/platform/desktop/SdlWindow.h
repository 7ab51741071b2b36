// The demo's window through SDL2: a GL compatibility context whose drawing goes into
// the offscreen frame (of the window's first size until resized), shown scaled with its
// aspect kept on every present.
#pragma once

#include "platform/GLSurface.h"
#include "platform/WindowFactory.h"
#include "platform/offscreen/OffscreenFrame.h"

#include <memory>
#include <string>

struct SDL_Window;

namespace platform {

class SdlWindow : public GLSurface {
public:
    static std::unique_ptr<SdlWindow> create(const char* title, int width, int height, bool fullscreen,
        WindowFailure& failure, std::string& error);
    ~SdlWindow() override;

    bool pollEvent(WindowEvent& event) override;
    void present() override;
    double displayDelay() const override;
    void leaveFullscreen() override;
    bool releaseContext() override;
    bool resizeFrame(int width, int height) override { return frame_.create(width, height); }
    bool shownSize(int& width, int& height) const override;

private:
    SdlWindow() = default;

    SDL_Window* window_ = nullptr;
    void* context_ = nullptr;
    OffscreenFrame frame_;
    double refresh_ = 0.0;  // seconds per refresh where the swap is tied to it, else 0
    double swapWait_ = 0.0; // running mean of the time spent in the swap itself
};

} // namespace platform
