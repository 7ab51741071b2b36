// Read-back of the finished frame, in two slots so that a frame can be fetched one
// frame late. Into a pixel-buffer object a GL may queue the copy behind the frame and
// return at once; Mesa's llvmpipe does not: any read of the frame, into memory, a
// pixel-buffer object or another framebuffer, first waits for its rasteriser to finish
// the frame. The copy itself then costs about 0.4 ms at 640x480.
#include "CaptureSurface.h"

#include "platform/GL.h"

#include <cassert>
#include <cstring>
#include <utility>

CaptureSurface::CaptureSurface(std::unique_ptr<CaptureContext> context)
    : context_(std::move(context))
{
}

CaptureSurface::~CaptureSurface()
{
#ifndef VORIMEL_GLES2
    if (pixelBuffers_[0] != 0)
        glDeleteBuffers(2, pixelBuffers_);
#endif
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

void CaptureSurface::startRead()
{
    assert(pending_.size() < 2 && "fetch a read before starting a third");
    const int slot = pending_.empty() ? 0 : 1 - pending_.front();
#ifdef VORIMEL_GLES2
    staging_[slot].resize(frameBytes());
    readPixels(staging_[slot].data());
#else
    if (pixelBuffers_[0] == 0)
        glGenBuffers(2, pixelBuffers_);
    if (pixelBufferBytes_ != frameBytes()) {
        assert(pending_.empty() && "the frame changed size with a read pending");
        pixelBufferBytes_ = frameBytes();
        for (const GLuint buffer : pixelBuffers_) {
            glBindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
            glBufferData(
                GL_PIXEL_PACK_BUFFER, static_cast<GLsizeiptr>(pixelBufferBytes_), nullptr, GL_STREAM_READ);
        }
    }
    glBindBuffer(GL_PIXEL_PACK_BUFFER, pixelBuffers_[slot]);
    readPixels(nullptr); // offset 0 into the bound buffer
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
#endif
    pending_.push_back(slot);
}

bool CaptureSurface::finishRead(uint8_t* out)
{
    if (pending_.empty())
        return false;
    const int slot = pending_.front();
    pending_.pop_front();
#ifdef VORIMEL_GLES2
    std::memcpy(out, staging_[slot].data(), staging_[slot].size());
#else
    glBindBuffer(GL_PIXEL_PACK_BUFFER, pixelBuffers_[slot]);
    glGetBufferSubData(GL_PIXEL_PACK_BUFFER, 0, static_cast<GLsizeiptr>(pixelBufferBytes_), out);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
#endif
    return true;
}
