// What the spinning solids, vertex ring and cube ring scenes share, drawn in the
// headless context: the GL state each leaves for the frame overlay, the clear colour,
// motion with scene time, and a view that follows the eye stored the frame before.
#include "scenes/CubeRingEffect.h"
#include "scenes/SceneFixture.h"
#include "scenes/SpinningSolidsEffect.h"
#include "scenes/VertexRingEffect.h"
#include "support/FramePng.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <sys/stat.h>

using scenetest::Frame;
using testsupport::matrixStackDepth;

namespace {

struct SceneCase {
    const char* name;
    std::unique_ptr<CameraScene> (*make)();
    GLboolean blendLeftOn;
    GLint blendSource;
    GLint blendDestination;
    std::array<float, 3> clearColor;
};

void PrintTo(const SceneCase& sceneCase, std::ostream* out)
{
    *out << sceneCase.name;
}

template <class Scene>
std::unique_ptr<CameraScene> make()
{
    return std::make_unique<Scene>();
}

const SceneCase sceneCases[] = {
    {"SpinningSolids", make<SpinningSolidsEffect>, GL_FALSE, GL_SRC_ALPHA_SATURATE, GL_ONE,                 {0.05f, 0.55f, 0.55f}},
    {"VertexRing",     make<VertexRingEffect>,     GL_TRUE,  GL_SRC_ALPHA,          GL_ONE_MINUS_SRC_ALPHA, {0.9f,  0.0f,  1.0f}},
    {"CubeRing",       make<CubeRingEffect>,       GL_TRUE,  GL_SRC_ALPHA,          GL_ONE_MINUS_SRC_ALPHA, {0.2f,  0.6f,  0.9f}},
};

class CameraScenes : public scenetest::SceneTest, public ::testing::WithParamInterface<SceneCase> {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        if (HasFatalFailure())
            return;
        SpinningSolidsEffect::flash = 0.0f; // as at program start
        VertexRingEffect::flash = 0.0f;
        scene = GetParam().make();
        scene->load();
        glLineWidth(3.0f); // enter sets 1
        scene->enter();
    }

    std::unique_ptr<CameraScene> scene;
};

} // namespace

TEST_P(CameraScenes, LeavesStacksEnablesAndBlendFactorsForTheFrameOverlay)
{
    // One level above the bottom, so that a pop too many would show.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glPointSize(1.0f);
    setMusic(0, 0, 0.5f);
    scene->draw(1.0f);

    GLint blend[2] = {};
    glGetIntegerv(GL_BLEND_SRC, &blend[0]);
    glGetIntegerv(GL_BLEND_DST, &blend[1]);
    GLfloat sizes[2] = {};
    glGetFloatv(GL_POINT_SIZE, &sizes[0]);
    glGetFloatv(GL_LINE_WIDTH, &sizes[1]);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_EQ(matrixStackDepth(GL_PROJECTION_STACK_DEPTH), 2);
    EXPECT_EQ(matrixStackDepth(GL_MODELVIEW_STACK_DEPTH), 2);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(glIsEnabled(GL_BLEND), GetParam().blendLeftOn);
    EXPECT_EQ(blend[0], GetParam().blendSource);
    EXPECT_EQ(blend[1], GetParam().blendDestination);
    EXPECT_EQ(sizes[0], 10.0f);
    EXPECT_EQ(sizes[1], 1.0f);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

TEST_P(CameraScenes, ClearsToItsColourWhereNoGeometryLies)
{
    // Row 8 keeps the entry eye in every scene; from there, at this time, the top
    // corners of the first frame are free of geometry and trails.
    setMusic(0, 8);
    scene->draw(3.14159f);
    for (const int x : {4, 635}) {
        const auto pixel = testsupport::pixelAt(x, 475);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(pixel[c], GetParam().clearColor[c] * 255.0f, 1.0f) << "x " << x << " channel " << c;
    }
}

TEST_P(CameraScenes, FirstFrameAfterEnterShowsTheEntryEyeThenGeometryMovesWithTime)
{
    setMusic(0, 8); // the cube ring's row table leaves the eye alone on row 8
    scene->draw(1.0f);
    scene->enter();
    std::array<Frame, 4> frames;
    const float times[] = {1.0f, 1.0f, 1.0f, 4.0f};
    for (int i = 0; i < 4; ++i) {
        clearTrails();
        scene->draw(times[i]);
        frames[i] = readFrame();
    }
    // the upper half: no picture there
    EXPECT_GT(differingPixels(frames[0], frames[1], 240, 480), 1000);
    EXPECT_EQ(differingPixels(frames[1], frames[2]), 0);
    EXPECT_GT(differingPixels(frames[2], frames[3], 240, 480), 1000);
}

// Not a check: frames to look at, written with --gtest_also_run_disabled_tests.
TEST_P(CameraScenes, DISABLED_WritesFramesForLooking)
{
    ::mkdir("/tmp/frames", 0755);
    ::mkdir("/tmp/frames/scenesA", 0755);
    for (int frame = 0; frame < 240; ++frame) {
        const int row = frame / 4 % 32;
        const int order = frame < 120 ? 2 : 3;
        setMusic(order, row, 0.02f * (row % 4));
        scene->draw(frame / 30.0f);
        if (frame % 24 == 0 || frame % 32 == 1)
            testsupport::writeFramePng("/tmp/frames/scenesA/" + std::string(GetParam().name) + "-f"
                                       + std::to_string(frame) + "-o" + std::to_string(order) + "-row"
                                       + std::to_string(row) + ".png");
    }
}

INSTANTIATE_TEST_SUITE_P(Scenes, CameraScenes, ::testing::ValuesIn(sceneCases),
                         [](const auto& info) { return std::string(info.param.name); });
