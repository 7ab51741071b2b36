// The window settings (size, fullscreen, title), the window with its GL context, and
// the 2D box that every screen-aligned quad is drawn through.
#pragma once

#include <cstdint>
#include <memory>

namespace platform {
class GLSurface;
}

class GLWindow {
public:
    // A width or height of zero or less gives 640x480.
    GLWindow(int width, int height);
    ~GLWindow();

    int height() const { return height_; }
    int width() const { return width_; }
    unsigned char isFullscreen() const { return fullscreen_; }
    void setFullscreen(unsigned char fullscreen) { fullscreen_ = fullscreen; }
    // A title longer than the buffer is cut.
    void setTitle(const char* text);
    const char* title() const { return title_; }

    // 1 on success; 0 after the failure was shown (message box and stderr).
    int createWindow(const char* title, int width, int height, int bits, unsigned char fullscreen);
    void killWindow();
    // Window size changes leave the stored size and the 640x480 viewport alone.
    void resize(int, int) { }

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
};

// The one window, created at static initialisation (in app/) and never destroyed.
extern GLWindow* glWindow;
