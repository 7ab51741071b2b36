// The entry points: state changes go to the CPU-side state, drawing and clearing to
// the renderer. GL 1.1 ignores most calls between begin and end; the demo makes none.
#include "platform/gles/FixedFunction.h"

#include "platform/gles/FixedFunctionRenderer.h"

#include <algorithm>
#include <array>
#include <memory>

namespace ffgl {

namespace {

struct Layer {
    FixedFunctionState state;
    FixedFunctionRenderer renderer;
    Primitive primitive;
};

Viewport contextViewport()
{
    GLint v[4] = { 0, 0, 0, 0 };
    glGetIntegerv(GL_VIEWPORT, v);
    return { v[0], v[1], v[2], v[3] };
}

std::unique_ptr<Layer>& layerSlot()
{
    static std::unique_ptr<Layer> layer;
    return layer;
}

Layer& layer()
{
    std::unique_ptr<Layer>& slot = layerSlot();
    if (!slot) {
        slot = std::make_unique<Layer>();
        slot->state = FixedFunctionState(contextViewport());
    }
    return *slot;
}

FixedFunctionState& current()
{
    return layer().state;
}

} // namespace

const FixedFunctionState& state()
{
    return current();
}

void reset()
{
    layerSlot().reset();
}

void drawKeptBack()
{
    layer().renderer.drawKeptBack();
}

void forgetSentState()
{
    layer().renderer.forgetSent();
}

void frameRemade(int width, int height)
{
    current().viewport(0, 0, width, height);
    forgetSentState();
}

void begin(GLenum mode)
{
    current().begin(mode);
}

void end()
{
    Layer& l = layer();
    if (l.state.end(l.primitive))
        l.renderer.draw(l.state, l.primitive);
}

void vertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    current().vertex(x, y, z);
}

void color3f(GLfloat r, GLfloat g, GLfloat b)
{
    current().color(r, g, b, 1.0f);
}

void color4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a)
{
    current().color(r, g, b, a);
}

void color4fv(const GLfloat* rgba)
{
    current().color(rgba[0], rgba[1], rgba[2], rgba[3]);
}

void texCoord2f(GLfloat s, GLfloat t)
{
    current().texCoord(s, t);
}

void normal3f(GLfloat x, GLfloat y, GLfloat z)
{
    current().normal(x, y, z);
}

void matrixMode(GLenum mode)
{
    current().matrixMode(mode);
}

void loadIdentity()
{
    current().loadIdentity();
}

void pushMatrix()
{
    current().pushMatrix();
}

void popMatrix()
{
    current().popMatrix();
}

void translatef(GLfloat x, GLfloat y, GLfloat z)
{
    current().multiply(Matrix4::translation(x, y, z));
}

void translated(double x, double y, double z)
{
    // GL keeps single-precision matrices: the double call rounds its arguments
    current().multiply(
        Matrix4::translation(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)));
}

void rotatef(GLfloat degrees, GLfloat x, GLfloat y, GLfloat z)
{
    current().multiply(Matrix4::rotation(degrees, x, y, z));
}

void scalef(GLfloat x, GLfloat y, GLfloat z)
{
    current().multiply(Matrix4::scaling(x, y, z));
}

void ortho(double left, double right, double bottom, double top, double zNear, double zFar)
{
    current().multiply(Matrix4::ortho(left, right, bottom, top, zNear, zFar));
}

void frustum(double left, double right, double bottom, double top, double zNear, double zFar)
{
    current().multiply(Matrix4::frustum(left, right, bottom, top, zNear, zFar));
}

void perspective(double fovY, double aspect, double zNear, double zFar)
{
    current().multiply(Matrix4::perspective(fovY, aspect, zNear, zFar));
}

void lookAt(double eyeX, double eyeY, double eyeZ, double centerX, double centerY, double centerZ, double upX,
    double upY, double upZ)
{
    FixedFunctionState& s = current();
    s.multiply(Matrix4::lookAtRotation(eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ));
    translated(-eyeX, -eyeY, -eyeZ);
}

void enable(GLenum cap)
{
    current().setEnabled(cap, true);
}

void disable(GLenum cap)
{
    current().setEnabled(cap, false);
}

void blendFunc(GLenum source, GLenum destination)
{
    current().blendFunc(source, destination);
}

void pointSize(GLfloat size)
{
    current().pointSize(size);
}

void lineWidth(GLfloat width)
{
    current().lineWidth(width);
}

void viewport(GLint x, GLint y, GLsizei width, GLsizei height)
{
    current().viewport(x, y, width, height);
}

void clearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a)
{
    current().clearColor(r, g, b, a);
}

void clear(GLbitfield mask)
{
    Layer& l = layer();
    l.renderer.clear(l.state, mask);
}

void pushAttrib(GLbitfield mask)
{
    current().pushAttrib(mask);
}

void popAttrib()
{
    current().popAttrib();
}

void copyTexSubImage2D(
    GLenum target, GLint level, GLint xOffset, GLint yOffset, GLint x, GLint y, GLsizei width, GLsizei height)
{
    drawKeptBack();
    glCopyTexSubImage2D(target, level, xOffset, yOffset, x, y, width, height);
}

void flush()
{
    drawKeptBack();
    glFlush();
}

void pushClientAttrib(GLbitfield mask)
{
    current().pushClientAttrib(mask);
}

void popClientAttrib()
{
    current().popClientAttrib();
}

void pixelStorei(GLenum name, GLint value)
{
    current().pixelStore(name, value);
}

void getIntegerv(GLenum name, GLint* values)
{
    if (name == GL_PACK_ALIGNMENT || name == GL_UNPACK_ALIGNMENT) {
        values[0] = current().pixelStoreValue(name);
        return;
    }
    glGetIntegerv(name, values);
}

void getFloatv(GLenum name, GLfloat* values)
{
    const FixedFunctionState& state = current();
    if (name == GL_LINE_WIDTH) {
        values[0] = state.currentLineWidth();
    } else if (name == GL_COLOR_CLEAR_VALUE) {
        const std::array<float, 4>& c = state.currentClearColor();
        std::copy(c.begin(), c.end(), values);
    } else if (name == GL_ALIASED_LINE_WIDTH_RANGE) {
        GLint largest[2] = { 0, 0 };
        glGetIntegerv(GL_MAX_VIEWPORT_DIMS, largest);
        values[0] = 1.0f;
        values[1] = static_cast<GLfloat>(std::max(largest[0], largest[1]));
    } else {
        glGetFloatv(name, values);
    }
}

GLenum getError()
{
    const GLenum own = current().takeError();
    const GLenum gles = glGetError();
    return own != GL_NO_ERROR ? own : gles;
}

void texImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
    GLenum format, GLenum type, const void* pixels)
{
    // GLES2 takes no sized or numbered internal formats: it must equal the format
    GLint esFormat = internalFormat;
    if (internalFormat == static_cast<GLint>(glRgba8) || internalFormat == 4)
        esFormat = GL_RGBA;
    else if (internalFormat == static_cast<GLint>(glRgb8) || internalFormat == 3)
        esFormat = GL_RGB;
    Layer& l = layer();
    l.renderer.applyUnpackAlignment(l.state);
    glTexImage2D(target, level, esFormat, width, height, border, format, type, pixels);
}

void readPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, void* pixels)
{
    Layer& l = layer();
    if (type != GL_UNSIGNED_BYTE || (format != GL_RGB && format != GL_RGBA)) {
        glReadPixels(x, y, width, height, format, type, pixels);
        return;
    }
    l.renderer.readPixels(l.state, x, y, width, height, format, pixels);
}

} // namespace ffgl
