// Wide lines as triangles: GLES2 and WebGL guarantee only 1-pixel lines, and WebGL
// caps the width at 1, so lines wider than a pixel are drawn as quads the way GL 1.1
// rasterises aliased wide lines.
#pragma once

#include "platform/gles/FixedFunctionState.h"

#include <vector>

namespace ffgl {

// The segments a line primitive draws, as pairs of vertices (GL_LINES order).
std::vector<Vertex> lineSegments(const Primitive& lines);

// Appends two triangles (six vertices, in clip coordinates) that cover the segment
// from a to b, given in clip coordinates, `width` pixels wide. As GL specifies for
// aliased lines the width runs along the minor axis in window space: vertically for
// a mostly horizontal segment, horizontally otherwise. The segment is first clipped to
// the near plane; nothing is appended when it lies wholly behind it.
void appendLineQuad(
    const Vertex& a, const Vertex& b, float width, const Viewport& viewport, std::vector<Vertex>& triangles);

} // namespace ffgl
