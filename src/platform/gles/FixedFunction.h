// The GL 1.1 and GLU calls of the demo, implemented over GLES2. platform/GL.h maps the
// gl*/glu* names onto these when VORIMEL_GLES2 is defined. One layer per process,
// for the GL context current when it is first used.
#pragma once

#include "platform/gles/FixedFunctionState.h"

#include <GLES2/gl2.h>

namespace ffgl {

// primitives and current values
void begin(GLenum mode);
void end();
void vertex3f(GLfloat x, GLfloat y, GLfloat z);
void color3f(GLfloat r, GLfloat g, GLfloat b);
void color4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
void color4fv(const GLfloat* rgba);
void texCoord2f(GLfloat s, GLfloat t);
void normal3f(GLfloat x, GLfloat y, GLfloat z);

// matrices
void matrixMode(GLenum mode);
void loadIdentity();
void pushMatrix();
void popMatrix();
void translatef(GLfloat x, GLfloat y, GLfloat z);
void translated(double x, double y, double z);
void rotatef(GLfloat degrees, GLfloat x, GLfloat y, GLfloat z);
void scalef(GLfloat x, GLfloat y, GLfloat z);
void ortho(double left, double right, double bottom, double top, double zNear, double zFar);
void frustum(double left, double right, double bottom, double top, double zNear, double zFar);
void perspective(double fovY, double aspect, double zNear, double zFar);
void lookAt(double eyeX, double eyeY, double eyeZ, double centerX, double centerY, double centerZ, double upX,
    double upY, double upZ);

// switches and fragment state
void enable(GLenum cap);
void disable(GLenum cap);
void blendFunc(GLenum source, GLenum destination);
void pointSize(GLfloat size);
void lineWidth(GLfloat width);
void viewport(GLint x, GLint y, GLsizei width, GLsizei height);
void clearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
void clear(GLbitfield mask);
void pushAttrib(GLbitfield mask);
void popAttrib();

// pixels and textures
// glCopyTexSubImage2D and glFlush, after the points the layer kept back are drawn.
void copyTexSubImage2D(GLenum target, GLint level, GLint xOffset, GLint yOffset, GLint x, GLint y,
    GLsizei width, GLsizei height);
void flush();
void pushClientAttrib(GLbitfield mask);
void popClientAttrib();
void pixelStorei(GLenum name, GLint value);
void getIntegerv(GLenum name, GLint* values);
// The layer's own line width, its clear colour and its line widths' range (lines are
// quads: any width up to the largest viewport); GLES2's answer for the rest.
void getFloatv(GLenum name, GLfloat* values);
GLenum getError();
void texImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
    GLenum format, GLenum type, const void* pixels);
void readPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, void* pixels);

// The layer's state, for tests. reset() starts over with GL's defaults and the
// viewport of the context now current, forgetting GL objects of an earlier context.
const FixedFunctionState& state();
void reset();

// For a surface about to show or read its frame with GLES2 calls of its own: draws the
// points the layer kept back to draw together.
void drawKeptBack();
// For code that used GLES2 directly between the layer's calls (a surface showing its
// frame): the layer's GL state (program, buffers, switches) is sent again before the
// next draw. Texture bindings are the program's own and are not the layer's to restore.
void forgetSentState();
// For a surface that made its frame anew with GLES2 calls of its own: the viewport now
// covers the new width x height, and the GL state is sent again before the next draw.
void frameRemade(int width, int height);

} // namespace ffgl
