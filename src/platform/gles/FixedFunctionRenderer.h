// Draws what the fixed-function state describes with one GLES2 program: the
// transform, the current colours, texturing in GL's default modulate mode, point size.
// GL state that GLES2 keeps too (blending, depth test, viewport) is set lazily, only
// when the state differs from what was last sent. Untextured points are kept back and
// drawn together, in their order, transformed here: the demo draws its lattices as
// thousands of one-point batches a frame, and behind WebGL every draw call costs.
#pragma once

#include "platform/gles/FixedFunctionState.h"

#include <GLES2/gl2.h>

#include <vector>

namespace ffgl {

class FixedFunctionRenderer {
public:
    // Draws need a current GLES2 context; the program is compiled on the first.
    // GL objects are not deleted: they live as long as the context.
    FixedFunctionRenderer() = default;
    FixedFunctionRenderer(const FixedFunctionRenderer&) = delete;
    FixedFunctionRenderer& operator=(const FixedFunctionRenderer&) = delete;

    void draw(const FixedFunctionState& state, const Primitive& primitive);
    // Draws the points kept back. Everything that reads or shows the frame, or draws
    // otherwise, comes after this (the layer's own clear, read-back and draws call it).
    void drawKeptBack();
    // The frame has no alpha planes as far as the program can tell: the colour clear
    // writes alpha 1 and drawing never writes alpha, so GL_SRC_ALPHA_SATURATE and
    // screen copies see alpha 1 as on a target without alpha.
    void clear(const FixedFunctionState& state, GLbitfield mask);
    // glReadPixels with GL_RGB or GL_RGBA bytes, packed with the state's alignment.
    void readPixels(
        const FixedFunctionState& state, int x, int y, int width, int height, GLenum format, void* pixels);
    void applyUnpackAlignment(const FixedFunctionState& state);
    // Forgets every GL object, for a context that is gone.
    void abandon();
    // Forgets what GLES2 was told, for state changed behind the layer: the next draw
    // sends all of it again.
    void forgetSent() { sent_ = Sent {}; }

private:
    // The GL state a draw needs that GLES2 keeps too.
    struct Switches {
        bool blend = false;
        GLenum blendSource = GL_ONE;
        GLenum blendDestination = GL_ZERO;
        bool depthTest = false;
        Viewport viewport { -1, -1, -1, -1 };
        bool operator==(const Switches& other) const;
    };

    bool ready();
    static Switches switchesOf(const FixedFunctionState& state);
    void applySwitches(const Switches& switches);
    void submit(GLenum mode, const std::vector<Vertex>& vertices, const Matrix4& transform, bool textured,
        float pointSize);

    GLuint program_ = 0;
    GLuint buffer_ = 0;
    GLint transformLocation_ = -1;
    GLint texturedLocation_ = -1;
    GLint pointSizeLocation_ = -1;
    GLint samplerLocation_ = -1;
    bool failed_ = false;

    // what GLES2 was last told; nothing is assumed of the context before the first
    // draw, which may come after other code has used it
    struct Sent {
        bool known = false;
        bool blend = false;
        bool depthTest = false;
        GLenum blendSource = GL_ONE;
        GLenum blendDestination = GL_ZERO;
        Viewport viewport { -1, -1, -1, -1 };
        bool alphaMasked = false;
        int unpackAlignment = 0;
        int packAlignment = 0;
        // the program in use, its sampler unit, the vertex buffer bound and the
        // attribute arrays pointing into it; then the uniforms that change
        bool pipeline = false;
        int textured = -1;
        float pointSize = -1.0f;
    } sent_;
    std::vector<Vertex> scratch_;

    // untextured points not drawn yet, in clip coordinates, and what they are drawn with
    std::vector<Vertex> keptPoints_;
    Switches keptSwitches_;
    float keptPointSize_ = 1.0f;
};

} // namespace ffgl
