// One shader pair stands for the fixed-function pipeline as the demo uses it: no
// lighting, no fog, one 2D texture modulating the interpolated colour.
#include "platform/gles/FixedFunctionRenderer.h"

#include "platform/gles/LineQuads.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace ffgl {

namespace {

const char* vertexSource = R"(
attribute vec4 position;
attribute vec4 color;
attribute vec2 texCoord;
uniform mat4 transform;
uniform float pointSize;
varying vec4 vColor;
varying vec2 vTexCoord;
void main()
{
    gl_Position = transform * position;
    // fixed function clamps the colour before rasterisation
    vColor = clamp(color, 0.0, 1.0);
    vTexCoord = texCoord;
    gl_PointSize = pointSize;
}
)";

const char* fragmentSource = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
uniform sampler2D sampler;
uniform bool textured;
varying vec4 vColor;
varying vec2 vTexCoord;
void main()
{
    gl_FragColor = textured ? vColor * texture2D(sampler, vTexCoord) : vColor;
}
)";

enum Attribute : GLuint { positionAttribute = 0, colorAttribute = 1, texCoordAttribute = 2 };

GLuint compile(GLenum type, const char* source)
{
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[512] = {};
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "fixed-function layer: shader does not compile: %s\n", log);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

} // namespace

void FixedFunctionRenderer::abandon()
{
    program_ = 0;
    buffer_ = 0;
    failed_ = false;
    sent_ = Sent {};
    keptPoints_.clear();
}

bool FixedFunctionRenderer::Switches::operator==(const Switches& other) const
{
    return blend == other.blend && blendSource == other.blendSource
        && blendDestination == other.blendDestination && depthTest == other.depthTest
        && viewport.x == other.viewport.x && viewport.y == other.viewport.y
        && viewport.width == other.viewport.width && viewport.height == other.viewport.height;
}

FixedFunctionRenderer::Switches FixedFunctionRenderer::switchesOf(const FixedFunctionState& state)
{
    Switches switches;
    switches.blend = state.enabled(GL_BLEND);
    switches.blendSource = state.blendSource();
    switches.blendDestination = state.blendDestination();
    switches.depthTest = state.enabled(GL_DEPTH_TEST);
    switches.viewport = state.currentViewport();
    return switches;
}

bool FixedFunctionRenderer::ready()
{
    if (program_ != 0)
        return true;
    if (failed_)
        return false;
    const GLuint vertex = compile(GL_VERTEX_SHADER, vertexSource);
    const GLuint fragment = compile(GL_FRAGMENT_SHADER, fragmentSource);
    if (vertex == 0 || fragment == 0) {
        failed_ = true;
        return false;
    }
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glBindAttribLocation(program, positionAttribute, "position");
    glBindAttribLocation(program, colorAttribute, "color");
    glBindAttribLocation(program, texCoordAttribute, "texCoord");
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) {
        std::fprintf(stderr, "fixed-function layer: program does not link\n");
        glDeleteProgram(program);
        failed_ = true;
        return false;
    }
    program_ = program;
    transformLocation_ = glGetUniformLocation(program, "transform");
    texturedLocation_ = glGetUniformLocation(program, "textured");
    pointSizeLocation_ = glGetUniformLocation(program, "pointSize");
    samplerLocation_ = glGetUniformLocation(program, "sampler");
    glGenBuffers(1, &buffer_);
    return true;
}

void FixedFunctionRenderer::applySwitches(const Switches& switches)
{
    const bool all = !sent_.known;
    sent_.known = true;
    if (all || switches.blend != sent_.blend) {
        switches.blend ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
        sent_.blend = switches.blend;
    }
    if (all || switches.blendSource != sent_.blendSource
        || switches.blendDestination != sent_.blendDestination) {
        glBlendFunc(switches.blendSource, switches.blendDestination);
        sent_.blendSource = switches.blendSource;
        sent_.blendDestination = switches.blendDestination;
    }
    if (all || switches.depthTest != sent_.depthTest) {
        switches.depthTest ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
        sent_.depthTest = switches.depthTest;
    }
    const Viewport& v = switches.viewport;
    if (all || v.x != sent_.viewport.x || v.y != sent_.viewport.y || v.width != sent_.viewport.width
        || v.height != sent_.viewport.height) {
        glViewport(v.x, v.y, v.width, v.height);
        sent_.viewport = v;
    }
    if (all || !sent_.alphaMasked) {
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
        sent_.alphaMasked = true;
    }
}

void FixedFunctionRenderer::draw(const FixedFunctionState& state, const Primitive& primitive)
{
    if (!ready())
        return;
    const Matrix4 transform = state.projection() * state.modelview();
    const bool textured = state.enabled(GL_TEXTURE_2D);
    const Switches switches = switchesOf(state);
    if (primitive.mode == GL_POINTS && !textured) {
        const float size = state.rasterPointSize();
        if (!keptPoints_.empty() && (!(switches == keptSwitches_) || size != keptPointSize_))
            drawKeptBack();
        keptSwitches_ = switches;
        keptPointSize_ = size;
        for (Vertex vertex : primitive.vertices) {
            vertex.position = ffgl::transform(transform, vertex.position);
            keptPoints_.push_back(vertex);
        }
        return;
    }
    drawKeptBack();
    applySwitches(switches);
    const bool line
        = primitive.mode == GL_LINES || primitive.mode == GL_LINE_STRIP || primitive.mode == GL_LINE_LOOP;
    const float width = state.rasterLineWidth();
    if (!line || width <= 1.0f) {
        submit(primitive.mode, primitive.vertices, transform, textured, state.rasterPointSize());
        return;
    }
    // wide lines: transformed here, expanded in window space, drawn untransformed
    scratch_.clear();
    const std::vector<Vertex> segments = lineSegments(primitive);
    for (size_t i = 0; i + 1 < segments.size(); i += 2) {
        Vertex a = segments[i];
        Vertex b = segments[i + 1];
        a.position = ffgl::transform(transform, a.position);
        b.position = ffgl::transform(transform, b.position);
        appendLineQuad(a, b, width, state.currentViewport(), scratch_);
    }
    if (!scratch_.empty())
        submit(GL_TRIANGLES, scratch_, Matrix4::identity(), textured, 1.0f);
}

void FixedFunctionRenderer::submit(GLenum mode, const std::vector<Vertex>& vertices, const Matrix4& transform,
    bool textured, float pointSize)
{
    // Set once and kept: the demo draws thousands of one-point batches a frame, and
    // each GL call costs most behind WebGL. The attribute arrays point into the
    // buffer object, so they stay valid when its data is replaced.
    if (!sent_.pipeline) {
        glUseProgram(program_);
        glUniform1i(samplerLocation_, 0);
        glBindBuffer(GL_ARRAY_BUFFER, buffer_);
        const GLsizei stride = sizeof(Vertex);
        glEnableVertexAttribArray(positionAttribute);
        glVertexAttribPointer(positionAttribute, 4, GL_FLOAT, GL_FALSE, stride,
            reinterpret_cast<const void*>(offsetof(Vertex, position)));
        glEnableVertexAttribArray(colorAttribute);
        glVertexAttribPointer(colorAttribute, 4, GL_FLOAT, GL_FALSE, stride,
            reinterpret_cast<const void*>(offsetof(Vertex, color)));
        glEnableVertexAttribArray(texCoordAttribute);
        glVertexAttribPointer(texCoordAttribute, 2, GL_FLOAT, GL_FALSE, stride,
            reinterpret_cast<const void*>(offsetof(Vertex, texCoord)));
        sent_.pipeline = true;
    }
    glUniformMatrix4fv(transformLocation_, 1, GL_FALSE, transform.m.data());
    if (sent_.textured != (textured ? 1 : 0)) {
        glUniform1i(texturedLocation_, textured ? 1 : 0);
        sent_.textured = textured ? 1 : 0;
    }
    if (sent_.pointSize != pointSize) {
        glUniform1f(pointSizeLocation_, pointSize);
        sent_.pointSize = pointSize;
    }
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(Vertex)), vertices.data(),
        GL_STREAM_DRAW);
    glDrawArrays(mode, 0, static_cast<GLsizei>(vertices.size()));
}

void FixedFunctionRenderer::drawKeptBack()
{
    if (keptPoints_.empty())
        return;
    applySwitches(keptSwitches_);
    submit(GL_POINTS, keptPoints_, Matrix4::identity(), false, keptPointSize_);
    keptPoints_.clear();
}

void FixedFunctionRenderer::clear(const FixedFunctionState& state, GLbitfield mask)
{
    drawKeptBack();
    if (mask & GL_COLOR_BUFFER_BIT) {
        const std::array<float, 4>& c = state.currentClearColor();
        glClearColor(c[0], c[1], c[2], 1.0f);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        sent_.alphaMasked = false;
    }
    glClear(mask);
}

void FixedFunctionRenderer::applyUnpackAlignment(const FixedFunctionState& state)
{
    const int alignment = state.pixelStoreValue(GL_UNPACK_ALIGNMENT);
    if (alignment != sent_.unpackAlignment) {
        glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
        sent_.unpackAlignment = alignment;
    }
}

void FixedFunctionRenderer::readPixels(
    const FixedFunctionState& state, int x, int y, int width, int height, GLenum format, void* pixels)
{
    if (width <= 0 || height <= 0)
        return;
    drawKeptBack();
    // GLES2 promises RGBA bytes with alignment 4: read those, then pack as asked
    if (sent_.packAlignment != 4) {
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        sent_.packAlignment = 4;
    }
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    const size_t channels = format == GL_RGB ? 3 : 4;
    const size_t alignment = static_cast<size_t>(state.pixelStoreValue(GL_PACK_ALIGNMENT));
    const size_t rowBytes = static_cast<size_t>(width) * channels;
    const size_t stride = (rowBytes + alignment - 1) / alignment * alignment;
    auto* out = static_cast<uint8_t*>(pixels);
    for (int row = 0; row < height; ++row) {
        const uint8_t* from = rgba.data() + static_cast<size_t>(row) * width * 4;
        uint8_t* to = out + static_cast<size_t>(row) * stride;
        for (int column = 0; column < width; ++column)
            std::memcpy(to + column * channels, from + column * 4, channels);
    }
}

} // namespace ffgl
