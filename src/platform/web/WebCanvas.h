// The demo's surface in a browser: a WebGL 1 context on the page's canvas, the frame
// (of the size it is made at, until resized) as a framebuffer object of the GLES2 layer, drawn onto the
// canvas by present(), and the page's keyboard, visibility and size as window events.
#pragma once

#include "platform/GLSurface.h"
#include "platform/gles/GlesFrame.h"

#include <deque>
#include <memory>
#include <string>

namespace platform {

class WebCanvas : public GLSurface {
public:
    // The context on the canvas the CSS selector names, made current with the frame
    // bound; null with the cause in `error`.
    static std::unique_ptr<WebCanvas> create(const char* selector, int width, int height, std::string& error);
    // Stops listening; the context and the canvas's last picture stay.
    ~WebCanvas() override;

    // Queues a window event, as the page's event handlers do; resizes pending at once
    // are taken as one, so that a dragged window remakes the frame once per frame.
    void post(const WindowEvent& event);

    bool pollEvent(WindowEvent& event) override;
    // Draws the frame onto the canvas; the browser shows it when the frame's call
    // returns to it. Nothing the program draws reaches the page without this.
    void present() override;
    // The browser shows what present drew a few frames later: its compositor takes the
    // canvas at the end of this frame's callback and draws the page in the next ones.
    // Measured in a headed chromium (position read to window updated): 2.7 to 3.4 frame
    // intervals with its GPU compositor, 0.9 to 1.2 with the software one.
    double displayDelay() const override { return compositorFrames * frameSeconds_; }
    // The frame and the canvas's own pixels anew at width x height.
    bool resizeFrame(int width, int height) override;
    // The size of the area the page centres the canvas in, in the screen's pixels.
    bool shownSize(int& width, int& height) const override;

private:
    WebCanvas() = default;
    bool createBlit(std::string& error);

    std::string selector_;
    int context_ = 0;
    ffgl::GlesFrame frame_;
    unsigned blitProgram_ = 0;
    unsigned blitBuffer_ = 0;
    std::deque<WindowEvent> events_;
    double lastPresent_ = 0.0;
    static constexpr double compositorFrames = 3.0;
    double frameSeconds_ = 1.0 / 60.0;
};

} // namespace platform
