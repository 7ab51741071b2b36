// The offscreen frame: a framebuffer object with an RGB8 colour and a 16-bit depth
// renderbuffer, and its scaled copy into a window.
#include "platform/offscreen/OffscreenFrame.h"

#include <GL/glext.h>

#include <algorithm>

namespace platform {

OffscreenFrame::~OffscreenFrame()
{
    destroy();
}

bool OffscreenFrame::create(int width, int height)
{
    destroy();
    width_ = width;
    height_ = height;

    glGenRenderbuffers(1, &colour_);
    glBindRenderbuffer(GL_RENDERBUFFER, colour_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGB8, width, height);
    glGenRenderbuffers(1, &depth_);
    glBindRenderbuffer(GL_RENDERBUFFER, depth_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);

    glGenFramebuffers(1, &framebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        destroy();
        return false;
    }

    // A fresh context's viewport covers its window, which need not be 640x480.
    glViewport(0, 0, width, height);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return true;
}

void OffscreenFrame::destroy()
{
    if (framebuffer_ != 0) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &framebuffer_);
    }
    if (colour_ != 0)
        glDeleteRenderbuffers(1, &colour_);
    if (depth_ != 0)
        glDeleteRenderbuffers(1, &depth_);
    framebuffer_ = colour_ = depth_ = 0;
}

void OffscreenFrame::bind() const
{
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
}

void OffscreenFrame::blitToWindow(int windowWidth, int windowHeight) const
{
    // Largest rectangle of the frame's aspect that fits, centred.
    int w = windowWidth;
    int h = static_cast<int>(static_cast<long long>(windowWidth) * height_ / width_);
    if (h > windowHeight) {
        h = windowHeight;
        w = static_cast<int>(static_cast<long long>(windowHeight) * width_ / height_);
    }
    const int x = (windowWidth - w) / 2;
    const int y = (windowHeight - h) / 2;

    // Only the clear colour and the scissor test touch what the demo relies on.
    GLfloat clearColour[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    glDisable(GL_SCISSOR_TEST);

    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    const GLenum filter = (w == width_ && h == height_) ? GL_NEAREST : GL_LINEAR;
    glBlitFramebuffer(0, 0, width_, height_, x, y, x + w, y + h, GL_COLOR_BUFFER_BIT, filter);

    glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    if (scissor)
        glEnable(GL_SCISSOR_TEST);
}

} // namespace platform
