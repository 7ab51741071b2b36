// The window settings (size, fullscreen, title), the window with its GL context, and
// the 2D box that every screen-aligned quad is drawn through.
#pragma once

#include "render/FrameSize.h"

#include <cstdint>
#include <memory>

namespace platform {
class GLSurface;
}

class GLWindow {
public:
    // A width or height of zero or less gives the standard frame, 640x480.
    GLWindow(int width, int height);
    ~GLWindow();
    // As at program start: the standard frame, windowed, untitled, not following its
    // window, and no surface (one that was attached is let go, its context with it).
    void reset();

    int height() const { return height_; }
    int width() const { return width_; }
    unsigned char isFullscreen() const { return fullscreen_; }
    void setFullscreen(unsigned char fullscreen) { fullscreen_ = fullscreen; }
    // A title longer than the buffer is cut.
    void setTitle(const char* text);
    const char* title() const { return title_; }

    // 1 on success; 0 after the failure was shown (message box and stderr). The window's
    // offscreen frame is made at width x height.
    int createWindow(const char* title, int width, int height, int bits, unsigned char fullscreen);
    void killWindow();
    // Whether the frame follows the window's size (FrameResizer's windowResized): drawn
    // anew at the largest height that fits the area the window shows (the trails restart).
    void setFollowsWindow(bool follows) { followsWindow_ = follows; }
    bool followsWindow() const { return followsWindow_; }

    // The size of the frame drawn into (640x480 unless setFrameHeight changed it): the
    // viewport of every 2D box and of the loading screen.
    void setFrameSize(int width, int height);
    // H/480: how much larger than the demo's own frame this one is.
    float pixelScale() const { return static_cast<float>(height_) / static_cast<float>(baseFrameHeight); }
    // A point size or line width given for the 480 frame, for this one. At 480 it is the
    // size as given; above, rounded to whole pixels, which the GL does anyway for points
    // and lines drawn without smoothing, but with ties rounded up on every driver.
    float scaledPixels(float size) const;

    // Multiplies an orthographic box w x h (centred, near 0.1, far 200) onto the
    // projection in force; end2D restores it. Leaves the model-view matrix selected.
    void begin2D(float w, float h);
    void end2D();

    // Where the GL draws: the window createWindow made, or the surface a headless run
    // attached instead (the headless context, the capture's or the tests' surface).
    platform::GLSurface* surface() const { return surface_.get(); }
    void attachSurface(std::unique_ptr<platform::GLSurface> surface);

private:
    int32_t height_;
    int32_t width_;
    unsigned char fullscreen_ = 0;
    char title_[255] = {};

    std::unique_ptr<platform::GLSurface> surface_;
    bool videoStarted_ = false;
    bool followsWindow_ = false;
};

// The one window, created at static initialisation (in app/) and never destroyed.
extern GLWindow* glWindow;
