// The frame every GL call of the demo draws into (640x480 unless made larger): colour RGB8 with no alpha
// planes, 16-bit depth. Reading it back gives alpha 1, as the demo's blending expects.
#pragma once

#include <GL/gl.h>

namespace platform {

class OffscreenFrame {
public:
    OffscreenFrame() = default;
    OffscreenFrame(const OffscreenFrame&) = delete;
    OffscreenFrame& operator=(const OffscreenFrame&) = delete;
    ~OffscreenFrame();

    // Needs a current context; binds the frame for drawing and reading. Called again,
    // it replaces the frame with one of the new size.
    bool create(int width, int height);
    void destroy();
    void bind() const;

    // Scales the frame into the default framebuffer of a window of the given size,
    // aspect kept with black bars, then binds the frame again. GL state is kept.
    void blitToWindow(int windowWidth, int windowHeight) const;

    int width() const { return width_; }
    int height() const { return height_; }

private:
    GLuint framebuffer_ = 0;
    GLuint colour_ = 0;
    GLuint depth_ = 0;
    int width_ = 0;
    int height_ = 0;
};

} // namespace platform
