// Wide lines: the quad spans the line's length and its width along the minor axis,
// in pixels of the viewport, and lines are clipped to the near plane first.
#include "platform/gles/LineQuads.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using ffgl::Vertex;

Vertex at(float x, float y, float z, float w)
{
    return { { x, y, z, w }, { 1.0f, 1.0f, 1.0f, 1.0f }, { 0.0f, 0.0f } };
}

// window pixel of a clip-space corner in a 640x480 viewport at the origin
std::array<float, 2> window(const Vertex& v)
{
    return { (v.position[0] / v.position[3] + 1.0f) * 320.0f,
        (v.position[1] / v.position[3] + 1.0f) * 240.0f };
}

struct Box {
    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
};

Box bounds(const std::vector<Vertex>& triangles)
{
    Box box;
    for (const Vertex& v : triangles) {
        const auto p = window(v);
        box.minX = std::min(box.minX, p[0]);
        box.maxX = std::max(box.maxX, p[0]);
        box.minY = std::min(box.minY, p[1]);
        box.maxY = std::max(box.maxY, p[1]);
    }
    return box;
}

const ffgl::Viewport viewport { 0, 0, 640, 480 };

TEST(LineQuads, WidthRunsAlongTheMinorAxisInPixels)
{
    std::vector<Vertex> triangles;
    // mostly horizontal, under perspective (w = 2): two pixels wide vertically
    ffgl::appendLineQuad(at(-1.0f, 0.0f, 0.0f, 2.0f), at(1.0f, 0.2f, 0.0f, 2.0f), 2.0f, viewport, triangles);
    ASSERT_EQ(triangles.size(), 6u);
    Box box = bounds(triangles);
    EXPECT_FLOAT_EQ(box.minX, 160.0f);
    EXPECT_FLOAT_EQ(box.maxX, 480.0f);
    EXPECT_NEAR(box.minY, 240.0f - 1.0f, 1e-3);
    EXPECT_NEAR(box.maxY, 264.0f + 1.0f, 1e-3);

    // mostly vertical: the width goes sideways
    triangles.clear();
    ffgl::appendLineQuad(at(0.0f, -0.5f, 0.0f, 1.0f), at(0.1f, 0.5f, 0.0f, 1.0f), 3.0f, viewport, triangles);
    box = bounds(triangles);
    EXPECT_NEAR(box.minX, 320.0f - 1.5f, 1e-3);
    EXPECT_NEAR(box.maxX, 352.0f + 1.5f, 1e-3);
    EXPECT_FLOAT_EQ(box.minY, 120.0f);
    EXPECT_FLOAT_EQ(box.maxY, 360.0f);
}

TEST(LineQuads, ClipsToTheNearPlane)
{
    std::vector<Vertex> triangles;
    ffgl::appendLineQuad(at(0.0f, 0.0f, -3.0f, 1.0f), at(1.0f, 0.0f, -2.0f, 1.0f), 2.0f, viewport, triangles);
    EXPECT_TRUE(triangles.empty()) << "wholly behind the near plane";

    // from z = -3 (behind) to z = 1 (inside), w = 1: the near plane z = -1 is halfway
    ffgl::appendLineQuad(at(-1.0f, 0.0f, -3.0f, 1.0f), at(1.0f, 0.0f, 1.0f, 1.0f), 2.0f, viewport, triangles);
    ASSERT_EQ(triangles.size(), 6u);
    const Box box = bounds(triangles);
    EXPECT_FLOAT_EQ(box.minX, 320.0f);
    EXPECT_FLOAT_EQ(box.maxX, 640.0f);
    for (const Vertex& v : triangles)
        EXPECT_GE(v.position[2] + v.position[3], -1e-6f);
}

TEST(LineQuads, LoopsCloseAndStripsDoNot)
{
    ffgl::Primitive lines;
    lines.vertices = { at(0, 0, 0, 1), at(1, 0, 0, 1), at(1, 1, 0, 1) };
    lines.mode = GL_LINE_STRIP;
    EXPECT_EQ(ffgl::lineSegments(lines).size(), 4u);
    lines.mode = GL_LINE_LOOP;
    const std::vector<Vertex> loop = ffgl::lineSegments(lines);
    ASSERT_EQ(loop.size(), 6u);
    EXPECT_EQ(loop[4].position[1], 1.0f);
    EXPECT_EQ(loop[5].position[0], 0.0f);
    lines.mode = GL_LINES;
    EXPECT_EQ(ffgl::lineSegments(lines).size(), 2u);
}

} // namespace
