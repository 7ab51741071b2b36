// Wide lines expanded in window space and handed back in clip space, so the quads go
// through the same clipping and rasterisation as every other triangle.
#include "platform/gles/LineQuads.h"

#include <cmath>

namespace ffgl {

namespace {

Vertex mix(const Vertex& a, const Vertex& b, float t)
{
    Vertex out;
    for (int i = 0; i < 4; ++i) {
        out.position[i] = a.position[i] + (b.position[i] - a.position[i]) * t;
        out.color[i] = a.color[i] + (b.color[i] - a.color[i]) * t;
    }
    for (int i = 0; i < 2; ++i)
        out.texCoord[i] = a.texCoord[i] + (b.texCoord[i] - a.texCoord[i]) * t;
    return out;
}

// distance inside the near plane (z >= -w); negative behind it
float nearDistance(const Vertex& v)
{
    return v.position[2] + v.position[3];
}

Vertex offsetBy(const Vertex& v, float clipX, float clipY)
{
    Vertex out = v;
    out.position[0] += clipX * v.position[3];
    out.position[1] += clipY * v.position[3];
    return out;
}

} // namespace

std::vector<Vertex> lineSegments(const Primitive& lines)
{
    const std::vector<Vertex>& v = lines.vertices;
    std::vector<Vertex> segments;
    if (lines.mode == GL_LINES) {
        for (size_t i = 0; i + 1 < v.size(); i += 2) {
            segments.push_back(v[i]);
            segments.push_back(v[i + 1]);
        }
        return segments;
    }
    for (size_t i = 0; i + 1 < v.size(); ++i) {
        segments.push_back(v[i]);
        segments.push_back(v[i + 1]);
    }
    if (lines.mode == GL_LINE_LOOP && v.size() >= 2) {
        segments.push_back(v.back());
        segments.push_back(v.front());
    }
    return segments;
}

void appendLineQuad(
    const Vertex& a, const Vertex& b, float width, const Viewport& viewport, std::vector<Vertex>& triangles)
{
    Vertex from = a;
    Vertex to = b;
    const float dFrom = nearDistance(from);
    const float dTo = nearDistance(to);
    if (dFrom < 0.0f && dTo < 0.0f)
        return;
    if (dFrom < 0.0f)
        from = mix(from, to, dFrom / (dFrom - dTo));
    else if (dTo < 0.0f)
        to = mix(from, to, dFrom / (dFrom - dTo));
    if (from.position[3] <= 0.0f || to.position[3] <= 0.0f || viewport.width <= 0 || viewport.height <= 0)
        return;

    // direction in window pixels decides the major axis
    const float dx = (to.position[0] / to.position[3] - from.position[0] / from.position[3]) * 0.5f
        * static_cast<float>(viewport.width);
    const float dy = (to.position[1] / to.position[3] - from.position[1] / from.position[3]) * 0.5f
        * static_cast<float>(viewport.height);
    // half the width in normalised device units along the minor axis
    float offsetX = 0.0f;
    float offsetY = 0.0f;
    if (std::fabs(dx) >= std::fabs(dy))
        offsetY = width / static_cast<float>(viewport.height);
    else
        offsetX = width / static_cast<float>(viewport.width);

    const Vertex corners[4] = {
        offsetBy(from, -offsetX, -offsetY),
        offsetBy(to, -offsetX, -offsetY),
        offsetBy(to, offsetX, offsetY),
        offsetBy(from, offsetX, offsetY),
    };
    for (int corner : { 0, 1, 2, 0, 2, 3 })
        triangles.push_back(corners[corner]);
}

} // namespace ffgl
