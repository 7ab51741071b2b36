// The GL 1.1 state the demo relies on, kept on the CPU: matrix stacks, the current
// colour, texture coordinate and normal, the switches, the attribute stacks, and the
// vertices between begin and end. Knows no GL: the renderer turns it into GLES2 calls.
#pragma once

#include "platform/gles/Matrix4.h"

#include <GLES2/gl2.h>

#include <array>
#include <vector>

namespace ffgl {

// GL 1.1 names that GLES2 lacks.
constexpr GLenum glQuads = 0x0007;
constexpr GLenum glModelview = 0x1700;
constexpr GLenum glProjection = 0x1701;
constexpr GLenum glRgba8 = 0x8058;
constexpr GLenum glRgb8 = 0x8051;
constexpr GLbitfield currentBit = 0x00000001;
constexpr GLbitfield polygonStippleBit = 0x00000010;
constexpr GLbitfield pixelModeBit = 0x00000020;
constexpr GLbitfield lightingBit = 0x00000040;
constexpr GLbitfield depthBufferBit = 0x00000100;
constexpr GLbitfield accumBufferBit = 0x00000200;
constexpr GLbitfield viewportBit = 0x00000800;
constexpr GLbitfield clientPixelStoreBit = 0x00000001;

struct Vertex {
    std::array<float, 4> position; // object coordinates, or clip coordinates once transformed
    std::array<float, 4> color;
    std::array<float, 2> texCoord;
};

// What one begin/end pair draws, in GLES2 terms: quads are already triangles.
struct Primitive {
    GLenum mode = GL_POINTS; // GL_POINTS, GL_LINES, GL_LINE_STRIP, GL_LINE_LOOP or GL_TRIANGLES
    std::vector<Vertex> vertices;
};

struct Viewport {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

class FixedFunctionState {
public:
    // GL's minimum is 2 for the projection; Mesa, the native path, allows 32 for both.
    static constexpr int maxMatrixDepth = 32;
    static constexpr int maxAttributeDepth = 16;

    explicit FixedFunctionState(Viewport initialViewport = {});

    // matrices: the current mode's stack; overflow and underflow are ignored with an error
    void matrixMode(GLenum mode);
    void loadIdentity();
    void pushMatrix();
    void popMatrix();
    void multiply(const Matrix4& factor);
    const Matrix4& modelview() const { return modelview_.back(); }
    const Matrix4& projection() const { return projection_.back(); }
    int matrixDepth(GLenum mode) const;

    // current vertex attributes
    void color(float r, float g, float b, float a) { color_ = { r, g, b, a }; }
    void texCoord(float s, float t) { texCoord_ = { s, t }; }
    void normal(float x, float y, float z) { normal_ = { x, y, z }; }
    const std::array<float, 4>& currentColor() const { return color_; }
    const std::array<float, 2>& currentTexCoord() const { return texCoord_; }
    const std::array<float, 3>& currentNormal() const { return normal_; }

    // begin/end: end hands over what is to be drawn; false when there is nothing
    void begin(GLenum mode);
    void vertex(float x, float y, float z);
    bool end(Primitive& out);
    bool inBeginEnd() const { return inBeginEnd_; }

    // switches: GL_BLEND, GL_DEPTH_TEST, GL_TEXTURE_2D
    void setEnabled(GLenum cap, bool on);
    bool enabled(GLenum cap) const;

    void blendFunc(GLenum source, GLenum destination);
    GLenum blendSource() const { return blendSource_; }
    GLenum blendDestination() const { return blendDestination_; }

    void pointSize(float size);
    void lineWidth(float width);
    float currentLineWidth() const { return lineWidth_; }
    // The sizes the rasteriser uses: without smoothing GL rounds them to whole pixels.
    float rasterPointSize() const;
    float rasterLineWidth() const;

    void viewport(int x, int y, int width, int height);
    const Viewport& currentViewport() const { return viewport_; }
    void clearColor(float r, float g, float b, float a) { clearColor_ = { r, g, b, a }; }
    const std::array<float, 4>& currentClearColor() const { return clearColor_; }

    // the groups the program pushes: current values, depth buffer, viewport, and groups
    // of state the layer does not keep (stipple, pixel mode, lighting, accumulation)
    void pushAttrib(GLbitfield mask);
    void popAttrib();
    int attributeDepth() const { return static_cast<int>(attributes_.size()); }

    void pixelStore(GLenum name, int value);
    int pixelStoreValue(GLenum name) const;
    void pushClientAttrib(GLbitfield mask);
    void popClientAttrib();

    // The first error since the last call, as glGetError reports it, then GL_NO_ERROR.
    GLenum takeError();

private:
    struct Current {
        std::array<float, 4> color;
        std::array<float, 2> texCoord;
        std::array<float, 3> normal;
    };
    struct Depth {
        bool test;
    };
    struct SavedAttributes {
        GLbitfield mask;
        Current current;
        Depth depth;
        Viewport viewport;
    };
    struct SavedClient {
        GLbitfield mask;
        int packAlignment;
        int unpackAlignment;
    };

    std::vector<Matrix4>& stack();
    void setError(GLenum error);

    std::vector<Matrix4> modelview_ { Matrix4::identity() };
    std::vector<Matrix4> projection_ { Matrix4::identity() };
    GLenum matrixMode_ = glModelview;

    std::array<float, 4> color_ { 1.0f, 1.0f, 1.0f, 1.0f };
    std::array<float, 2> texCoord_ { 0.0f, 0.0f };
    std::array<float, 3> normal_ { 0.0f, 0.0f, 1.0f };

    bool inBeginEnd_ = false;
    GLenum beginMode_ = GL_POINTS;
    std::vector<Vertex> vertices_;

    bool blend_ = false;
    bool depthTest_ = false;
    bool texture2D_ = false;
    GLenum blendSource_ = GL_ONE;
    GLenum blendDestination_ = GL_ZERO;
    float pointSize_ = 1.0f;
    float lineWidth_ = 1.0f;
    Viewport viewport_;
    std::array<float, 4> clearColor_ { 0.0f, 0.0f, 0.0f, 0.0f };
    int packAlignment_ = 4;
    int unpackAlignment_ = 4;

    std::vector<SavedAttributes> attributes_;
    std::vector<SavedClient> clientAttributes_;
    GLenum error_ = GL_NO_ERROR;
};

} // namespace ffgl
