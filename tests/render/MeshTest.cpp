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

TEST(TetraMesh, LevelOneIsThePlainTetrahedronWithoutProgressLines)
{
    DebugLines debug;
    TetraMesh mesh;
    mesh.setSize(3.0f);
    mesh.generate();
    EXPECT_TRUE(mesh.isGenerated());
    ASSERT_EQ(mesh.vertexCount(), 4);
    EXPECT_EQ(mesh.faceCount(), 4);
    expectVertex(mesh, 0, 0.0f, 1.5f, 0.0f);
    expectVertex(mesh, 1, -1.5f, -1.5f, 1.5f);
    expectVertex(mesh, 2, 1.5f, -1.5f, 0.0f);
    expectVertex(mesh, 3, 0.0f, -1.5f, -1.5f);
    expectFace(mesh, 3, 3, 1, 2);
    EXPECT_TRUE(debug.lines.empty());

    for (int levels : {0, -3}) {
        TetraMesh plain;
        plain.setLevels(levels);
        plain.generate();
        EXPECT_EQ(plain.vertexCount(), 4) << levels;
        EXPECT_EQ(plain.faceCount(), 4) << levels;
    }
}

TEST(TetraMesh, LevelTwoSplitsEachTriangleAtItsCentroid)
{
    TetraMesh mesh;
    mesh.setSize(2.0f);
    mesh.setLevels(2);
    mesh.generate();
    EXPECT_EQ(mesh.vertexCount(), 8);
    EXPECT_EQ(mesh.faceCount(), 12);
    const float third = (1.0f + -1.0f + 0.0f) * 0.33333334f; // x: centroid of 0, 1, 2
    EXPECT_EQ(mesh.vertex(4).x, third);
    EXPECT_EQ(mesh.vertex(4).y, (-1.0f + -1.0f + 1.0f) * 0.33333334f);
    EXPECT_EQ(mesh.vertex(4).z, (0.0f + 1.0f + 0.0f) * 0.33333334f);
    EXPECT_NEAR(mesh.vertex(4).y, -1.0 / 3.0, 1e-7);
    expectFace(mesh, 0, 0, 4, 2);
    expectFace(mesh, 4, 0, 1, 4);
    expectFace(mesh, 5, 1, 2, 4);
}

TEST(TetraMesh, LevelFourCountsAndProgressLines)
{
    DebugLines debug;
    TetraMesh mesh;
    mesh.setSize(3.0f);
    mesh.setLevels(4);
    mesh.generate();
    EXPECT_EQ(mesh.vertexCount(), 56);
    EXPECT_EQ(mesh.faceCount(), 108);
    ASSERT_EQ(debug.lines.size(), 52u);
    EXPECT_EQ(debug.lines.front(), "maxF 324 f 4 maxV 164 v 4\n");
    EXPECT_EQ(debug.lines.back(), "maxF 324 f 106 maxV 164 v 55\n");

    // Every triangle indexes a vertex in use.
    for (int i = 0; i < mesh.faceCount(); ++i)
        for (int corner : {mesh.faceA()[i], mesh.faceB()[i], mesh.faceC()[i]})
            EXPECT_LT(corner, mesh.vertexCount());
}

TEST(TetraMesh, NewLevelsWaitForTheNextGenerate)
{
    TetraMesh mesh;
    mesh.generate();
    mesh.setLevels(3);
    EXPECT_TRUE(mesh.isGenerated());
    EXPECT_EQ(mesh.vertexCount(), 4);
    mesh.generate();
    EXPECT_EQ(mesh.vertexCount(), 20);
}

class MeshDraw : public testsupport::GLTest {};

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

TEST_F(MeshDraw, AModeShowsOnlyWhenItsSwitchIsOne)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glPointSize(5.0f);
    glColor3f(1, 1, 1);

    // Points only: vertex 0 at (0, 0.5) is a white point; the outline from it to
    // vertex 1 at (-0.5, -0.5), switched to 2, is not drawn.
    TetraMesh mesh;
    mesh.setShowOutline(2);
    mesh.setShowTriangles(0);
    mesh.setShowSpokes(0);
    mesh.draw(0.0f);
    EXPECT_TRUE(mesh.isGenerated());
    EXPECT_EQ(testsupport::pixelAt(320, 360), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(testsupport::pixelAt(240, 240), (std::array<int, 3>{0, 0, 0}));

    // Outline on: magenta through the same place, and it stays the current colour.
    mesh.setShowOutline(1);
    mesh.draw(0.0f);
    EXPECT_EQ(testsupport::pixelAt(240, 240), (std::array<int, 3>{255, 0, 255}));
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[1], 0.0f);
    glPointSize(1.0f);
}
