// The generated cube and tetrahedron: counts, corners, splits, progress lines, and
// which of them keep moved vertices.
#include "platform/DebugOutput.h"
#include "render/CubeMesh.h"
#include "render/TetraMesh.h"
#include "support/GLTestContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct DebugLines {
    DebugLines()
    {
        platform::setDebugSink([this](const char* text) { lines.emplace_back(text); });
    }
    ~DebugLines() { platform::setDebugSink({}); }

    std::vector<std::string> lines;
};

void expectVertex(const Mesh& mesh, int i, float x, float y, float z)
{
    const Vec4 v = mesh.vertex(i);
    EXPECT_EQ(v.x, x) << "vertex " << i;
    EXPECT_EQ(v.y, y) << "vertex " << i;
    EXPECT_EQ(v.z, z) << "vertex " << i;
}

void expectFace(const Mesh& mesh, int i, int a, int b, int c)
{
    EXPECT_EQ(mesh.faceA()[i], a) << "triangle " << i;
    EXPECT_EQ(mesh.faceB()[i], b) << "triangle " << i;
    EXPECT_EQ(mesh.faceC()[i], c) << "triangle " << i;
}

} // namespace

TEST(TetraMesh, LevelOneIsThePlainTetrahedronAndLevelsBelowOneToo)
{
    DebugLines debug;
    for (int levels : { 1, 0, -3 }) {
        TetraMesh mesh;
        mesh.setSize(3.0f);
        mesh.setLevels(levels);
        mesh.generate();
        ASSERT_EQ(mesh.vertexCount(), 4) << levels;
        EXPECT_EQ(mesh.faceCount(), 4) << levels;
        expectVertex(mesh, 1, -1.5f, -1.5f, 1.5f);
        expectVertex(mesh, 3, 0.0f, -1.5f, -1.5f);
        expectFace(mesh, 3, 3, 1, 2);
    }
    EXPECT_TRUE(debug.lines.empty());
}

TEST(TetraMesh, EachLevelSplitsEveryTriangleAtItsCentroidAndReportsIt)
{
    TetraMesh two;
    two.setSize(2.0f);
    two.setLevels(2);
    two.generate();
    EXPECT_EQ(two.vertexCount(), 8);
    EXPECT_NEAR(two.vertex(4).y, -1.0 / 3.0, 1e-7); // centroid of triangle (0, 1, 2)
    EXPECT_NEAR(two.vertex(4).z, 1.0 / 3.0, 1e-7);
    expectFace(two, 0, 0, 4, 2);
    expectFace(two, 4, 0, 1, 4);
    expectFace(two, 5, 1, 2, 4);

    DebugLines debug;
    TetraMesh four;
    four.setLevels(4);
    four.generate();
    EXPECT_EQ(four.vertexCount(), 56);
    EXPECT_EQ(four.faceCount(), 108);
    ASSERT_EQ(debug.lines.size(), 52u);
    EXPECT_EQ(debug.lines.front(), "maxF 324 f 4 maxV 164 v 4\n");
    EXPECT_EQ(debug.lines.back(), "maxF 324 f 106 maxV 164 v 55\n");

    // A new level waits for the next generate.
    four.setLevels(2);
    EXPECT_EQ(four.vertexCount(), 56);
    four.generate();
    EXPECT_EQ(four.vertexCount(), 8);
}

class MeshDraw : public testsupport::GLTest { };

TEST_F(MeshDraw, CubeRebuildsOnEveryDrawButTetrahedronKeepsMovedVerticesUntilResized)
{
    CubeMesh cube;
    EXPECT_FALSE(cube.isGenerated());
    cube.setVertex(0, 9.0f, 9.0f, 9.0f, 1.0f);
    cube.draw(0.0f);
    EXPECT_FALSE(cube.isGenerated());
    expectVertex(cube, 0, -0.5f, -0.5f, 0.5f);

    TetraMesh mesh;
    mesh.setSize(2.0f);
    mesh.draw(0.0f); // generates once
    mesh.setVertex(1, 7.0f, 8.0f, 9.0f, 1.0f);
    mesh.draw(0.0f);
    expectVertex(mesh, 1, 7.0f, 8.0f, 9.0f);
    mesh.setSize(2.0f);
    mesh.draw(0.0f);
    expectVertex(mesh, 1, -1.0f, -1.0f, 1.0f);
}
