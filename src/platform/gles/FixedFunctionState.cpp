// The fixed-function state machine: what GL 1.1 keeps per context, with GL's rules
// for stack limits, begin/end and attribute groups.
#include "platform/gles/FixedFunctionState.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace ffgl {

namespace {

// Groups whose state the layer keeps and restores.
// (read only by an assertion, so unused in release builds)
[[maybe_unused]] constexpr GLbitfield keptGroups = currentBit | depthBufferBit | viewportBit;
// Groups the program pushes whose state the layer does not emulate: nothing to save.
[[maybe_unused]] constexpr GLbitfield statelessGroups
    = polygonStippleBit | pixelModeBit | lightingBit | accumBufferBit;

} // namespace

FixedFunctionState::FixedFunctionState(Viewport initialViewport)
    : viewport_(initialViewport)
{
}

std::vector<Matrix4>& FixedFunctionState::stack()
{
    return matrixMode_ == glProjection ? projection_ : modelview_;
}

void FixedFunctionState::setError(GLenum error)
{
    if (error_ == GL_NO_ERROR)
        error_ = error;
}

GLenum FixedFunctionState::takeError()
{
    const GLenum error = error_;
    error_ = GL_NO_ERROR;
    return error;
}

void FixedFunctionState::matrixMode(GLenum mode)
{
    if (mode != glModelview && mode != glProjection) {
        setError(GL_INVALID_ENUM);
        return;
    }
    matrixMode_ = mode;
}

void FixedFunctionState::loadIdentity()
{
    stack().back() = Matrix4::identity();
}

void FixedFunctionState::pushMatrix()
{
    std::vector<Matrix4>& matrices = stack();
    if (static_cast<int>(matrices.size()) >= maxMatrixDepth) {
        setError(0x0503); // GL_STACK_OVERFLOW
        return;
    }
    matrices.push_back(matrices.back());
}

void FixedFunctionState::popMatrix()
{
    std::vector<Matrix4>& matrices = stack();
    if (matrices.size() <= 1) {
        setError(0x0504); // GL_STACK_UNDERFLOW
        return;
    }
    matrices.pop_back();
}

void FixedFunctionState::multiply(const Matrix4& factor)
{
    Matrix4& top = stack().back();
    top = top * factor;
}

int FixedFunctionState::matrixDepth(GLenum mode) const
{
    return static_cast<int>(mode == glProjection ? projection_.size() : modelview_.size());
}

void FixedFunctionState::begin(GLenum mode)
{
    assert(!inBeginEnd_ && "begin inside begin/end");
    switch (mode) {
    case GL_POINTS:
    case GL_LINES:
    case GL_LINE_STRIP:
    case GL_LINE_LOOP:
    case GL_TRIANGLES:
    case glQuads:
        break;
    default:
        assert(!"a primitive the layer does not draw");
        setError(GL_INVALID_ENUM);
        return;
    }
    inBeginEnd_ = true;
    beginMode_ = mode;
    vertices_.clear();
}

void FixedFunctionState::vertex(float x, float y, float z)
{
    if (!inBeginEnd_)
        return; // GL leaves a vertex outside begin/end undefined; drawing nothing is safe
    vertices_.push_back({ { x, y, z, 1.0f }, color_, texCoord_ });
}

bool FixedFunctionState::end(Primitive& out)
{
    if (!inBeginEnd_) {
        setError(GL_INVALID_OPERATION);
        return false;
    }
    inBeginEnd_ = false;
    out.vertices.clear();
    const size_t count = vertices_.size();
    switch (beginMode_) {
    case GL_POINTS:
        out.mode = GL_POINTS;
        out.vertices = vertices_;
        break;
    case GL_LINES:
        out.mode = GL_LINES;
        out.vertices.assign(vertices_.begin(), vertices_.begin() + static_cast<long>(count - count % 2));
        break;
    case GL_LINE_STRIP:
    case GL_LINE_LOOP:
        out.mode = beginMode_;
        if (count >= 2)
            out.vertices = vertices_;
        break;
    case GL_TRIANGLES:
        out.mode = GL_TRIANGLES;
        out.vertices.assign(vertices_.begin(), vertices_.begin() + static_cast<long>(count - count % 3));
        break;
    case glQuads:
        // each quad as two triangles sharing its first corner; an incomplete quad is dropped
        out.mode = GL_TRIANGLES;
        for (size_t i = 0; i + 4 <= count; i += 4) {
            for (size_t corner : { 0, 1, 2, 0, 2, 3 })
                out.vertices.push_back(vertices_[i + corner]);
        }
        break;
    }
    return !out.vertices.empty();
}

void FixedFunctionState::setEnabled(GLenum cap, bool on)
{
    switch (cap) {
    case GL_BLEND:
        blend_ = on;
        break;
    case GL_DEPTH_TEST:
        depthTest_ = on;
        break;
    case GL_TEXTURE_2D:
        texture2D_ = on;
        break;
    default:
        assert(!"a capability the layer does not emulate");
        setError(GL_INVALID_ENUM);
    }
}

bool FixedFunctionState::enabled(GLenum cap) const
{
    switch (cap) {
    case GL_BLEND:
        return blend_;
    case GL_DEPTH_TEST:
        return depthTest_;
    case GL_TEXTURE_2D:
        return texture2D_;
    default:
        return false;
    }
}

void FixedFunctionState::blendFunc(GLenum source, GLenum destination)
{
    blendSource_ = source;
    blendDestination_ = destination;
}

void FixedFunctionState::pointSize(float size)
{
    if (size <= 0.0f) {
        setError(GL_INVALID_VALUE);
        return;
    }
    pointSize_ = size;
}

void FixedFunctionState::lineWidth(float width)
{
    if (width <= 0.0f) {
        setError(GL_INVALID_VALUE);
        return;
    }
    lineWidth_ = width;
}

float FixedFunctionState::rasterPointSize() const
{
    return std::max(1.0f, std::floor(pointSize_ + 0.5f));
}

float FixedFunctionState::rasterLineWidth() const
{
    return std::max(1.0f, std::floor(lineWidth_ + 0.5f));
}

void FixedFunctionState::viewport(int x, int y, int width, int height)
{
    if (width < 0 || height < 0) {
        setError(GL_INVALID_VALUE);
        return;
    }
    viewport_ = { x, y, width, height };
}

void FixedFunctionState::pushAttrib(GLbitfield mask)
{
    assert((mask & ~(keptGroups | statelessGroups)) == 0 && "an attribute group the layer does not keep");
    if (static_cast<int>(attributes_.size()) >= maxAttributeDepth) {
        setError(0x0503); // GL_STACK_OVERFLOW
        return;
    }
    attributes_.push_back({ mask, { color_, texCoord_, normal_ }, { depthTest_ }, viewport_ });
}

void FixedFunctionState::popAttrib()
{
    if (attributes_.empty()) {
        setError(0x0504); // GL_STACK_UNDERFLOW
        return;
    }
    const SavedAttributes& saved = attributes_.back();
    if (saved.mask & currentBit) {
        color_ = saved.current.color;
        texCoord_ = saved.current.texCoord;
        normal_ = saved.current.normal;
    }
    if (saved.mask & depthBufferBit)
        depthTest_ = saved.depth.test;
    if (saved.mask & viewportBit)
        viewport_ = saved.viewport;
    attributes_.pop_back();
}

void FixedFunctionState::pixelStore(GLenum name, int value)
{
    if (value != 1 && value != 2 && value != 4 && value != 8) {
        setError(GL_INVALID_VALUE);
        return;
    }
    if (name == GL_PACK_ALIGNMENT)
        packAlignment_ = value;
    else if (name == GL_UNPACK_ALIGNMENT)
        unpackAlignment_ = value;
    else
        setError(GL_INVALID_ENUM);
}

int FixedFunctionState::pixelStoreValue(GLenum name) const
{
    return name == GL_PACK_ALIGNMENT ? packAlignment_ : unpackAlignment_;
}

void FixedFunctionState::pushClientAttrib(GLbitfield mask)
{
    assert((mask & ~clientPixelStoreBit) == 0 && "a client group the layer does not keep");
    if (static_cast<int>(clientAttributes_.size()) >= maxAttributeDepth) {
        setError(0x0503); // GL_STACK_OVERFLOW
        return;
    }
    clientAttributes_.push_back({ mask, packAlignment_, unpackAlignment_ });
}

void FixedFunctionState::popClientAttrib()
{
    if (clientAttributes_.empty()) {
        setError(0x0504); // GL_STACK_UNDERFLOW
        return;
    }
    const SavedClient& saved = clientAttributes_.back();
    if (saved.mask & clientPixelStoreBit) {
        packAlignment_ = saved.packAlignment;
        unpackAlignment_ = saved.unpackAlignment;
    }
    clientAttributes_.pop_back();
}

} // namespace ffgl
