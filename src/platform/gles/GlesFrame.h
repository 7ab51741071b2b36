// The demo's 640x480 frame for the GLES2 path: an RGBA texture and a 16-bit depth
// renderbuffer on a framebuffer object, which GLES2 and WebGL both offer. The alpha
// plane exists only so that screen copies into RGBA textures are allowed; the layer
// keeps it at 1, so the program sees a frame without alpha.
#pragma once

#include <GLES2/gl2.h>

namespace ffgl {

class GlesFrame {
public:
    GlesFrame() = default;
    GlesFrame(const GlesFrame&) = delete;
    GlesFrame& operator=(const GlesFrame&) = delete;
    ~GlesFrame();

    // Needs a current context; binds the frame for drawing and reading.
    bool create(int width, int height);
    void destroy();
    void bind() const;

    // the colour plane, for a surface that shows the frame by drawing it
    GLuint colourTexture() const { return colour_; }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    GLuint framebuffer_ = 0;
    GLuint colour_ = 0;
    GLuint depth_ = 0;
    int width_ = 0;
    int height_ = 0;
};

} // namespace ffgl
