// The feedback layer: one texture of power-of-two sides of which the lower left holds the
// frame: 1024x512 for the 640x480 frame.
#include "render/FeedbackLayer.h"

#include "render/FrameSize.h"
#include "render/GLWindow.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <new>

GLuint FeedbackLayer::texture = 0;
float FeedbackLayer::color[4] = { 0.0f, 0.0f, 0.0f, 0.0f };
GLenum FeedbackLayer::blendSource = GL_SRC_ALPHA;
GLenum FeedbackLayer::blendDestination = GL_ONE_MINUS_SRC_ALPHA;

void FeedbackLayer::resetShared()
{
    texture = 0;
    std::fill(std::begin(color), std::end(color), 0.0f);
    blendSource = GL_SRC_ALPHA;
    blendDestination = GL_ONE_MINUS_SRC_ALPHA;
}

namespace {

constexpr GLbitfield savedAttributes = 0x0B71; // the value of GL_DEPTH_TEST, used as a mask

} // namespace

void FeedbackLayer::load()
{
    setTextureSize(textureSizeFor(glWindow->width()), textureSizeFor(glWindow->height()));
    texture = createTexture();
    // Replaced by the loader's build colour right after load.
    setColor(0.7f, 0.0f, 0.7f, 0.3f);
    blendSource = GL_SRC_ALPHA;
    blendDestination = GL_ONE_MINUS_SRC_ALPHA;
}

void FeedbackLayer::setTextureSize(int width, int height)
{
    textureWidth = width;
    textureHeight = height;
}

GLuint FeedbackLayer::createTexture()
{
    // Transparent black, so passes before the first capture leave the frame unchanged.
    // Without memory for the zeros GL still gets its storage; the first capture fills
    // all that is ever shown.
    const size_t size = static_cast<size_t>(textureWidth) * textureHeight * 4;
    std::unique_ptr<unsigned char[]> zeros(new (std::nothrow) unsigned char[size]());

    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(
        GL_TEXTURE_2D, 0, GL_RGBA8, textureWidth, textureHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE, zeros.get());
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return name;
}

void FeedbackLayer::setColor(float r, float g, float b, float a)
{
    color[0] = r;
    color[1] = g;
    color[2] = b;
    color[3] = a;
}

void FeedbackLayer::captureScreen()
{
    glBindTexture(GL_TEXTURE_2D, texture);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, glWindow->width(), glWindow->height());
}

void FeedbackLayer::remakeTexture()
{
    glDeleteTextures(1, &texture);
    setTextureSize(textureSizeFor(glWindow->width()), textureSizeFor(glWindow->height()));
    texture = createTexture();
}

void FeedbackLayer::draw(float)
{
    // The captured part of the texture: 640/1024 = 0.625 and 480/512 = 0.9375 at 480.
    const float s = textureWidth > 0 ? static_cast<float>(glWindow->width()) / textureWidth : 1.0f;
    const float t = textureHeight > 0 ? static_cast<float>(glWindow->height()) / textureHeight : 1.0f;

    // A box slightly smaller than the quad: each pass enlarges the copy about the centre.
    glWindow->begin2D(7.97f, 3.97f);
    glPushAttrib(savedAttributes);
    {
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(blendSource, blendDestination);
        glBindTexture(GL_TEXTURE_2D, texture);
        glColor4fv(color);

        glBegin(GL_QUADS);
        glNormal3f(0.0f, 0.0f, 1.0f);
        // clang-format off
        glTexCoord2f(0.0f, 0.0f); glVertex3f(-4.0f, -2.0f, 0.02f);
        glTexCoord2f(s,    0.0f); glVertex3f( 4.0f, -2.0f, 0.02f);
        glTexCoord2f(s,    t);    glVertex3f( 4.0f,  2.0f, 0.02f);
        glTexCoord2f(0.0f, t);    glVertex3f(-4.0f,  2.0f, 0.02f);
        // clang-format on
        glEnd();

        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
    }
    glPopAttrib();
    glWindow->end2D();
}

void FeedbackLayer::release()
{
    // Name 0 (a layer that was never loaded) is ignored by GL.
    glDeleteTextures(1, &texture);
}
