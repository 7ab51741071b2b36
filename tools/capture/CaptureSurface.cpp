// Read-back with glReadPixels straight into the writer's buffer. On Mesa's software
// rasteriser the copy takes about 0.7 ms a frame; the rest of the read's time is the
// rasteriser finishing the frame, which a pixel-buffer object would not hide either.
#include "CaptureSurface.h"

#include "platform/GL.h"

#include <utility>

CaptureSurface::CaptureSurface(std::unique_ptr<CaptureContext> context)
    : context_(std::move(context))
{
}

void CaptureSurface::present()
{
    context_->present();
    if (onPresent_)
        onPresent_();
}

void CaptureSurface::readPixels(uint8_t* out) const
{
    GLint packAlignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    context_->frame().bind();
    glReadPixels(0, 0, frameWidth(), frameHeight(), GL_RGB, GL_UNSIGNED_BYTE, out);
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
}
