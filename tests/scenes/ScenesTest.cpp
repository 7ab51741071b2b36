// The six scene classes drawn in the headless context: the GL state each leaves for the
// frame overlay, its background and its motion; then the beat flashes, the cube ring's
// eye on the rows it changes, the closing scene's last order and the strip picture's
// switch to dissolve.
#include "render/FeedbackLayer.h"
#include "render/SceneRegistry.h"
#include "scenes/ColorFillEffect.h"
#include "scenes/CubeRingEffect.h"
#include "scenes/FlashingLatticeEffect.h"
#include "scenes/LatticeStripsEffect.h"
#include "scenes/SceneState.h"
#include "scenes/SpinningSolidsEffect.h"
#include "scenes/VertexRingEffect.h"
#include "support/GLTestContext.h"
#include "support/SceneHarness.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

using testsupport::pixelAt;

namespace {

constexpr float pi = 3.14159265f;
using Frame = std::vector<unsigned char>;

// What the program has set up by the time a scene draws: the loading screen's frustum,
// the loaded feedback layer with the build colour, and a scripted music position.
class SceneTest : public testsupport::GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        if (!HasFatalFailure())
            harness.emplace(0.65f);
    }

    void TearDown() override { harness.reset(); }

    void setMusic(int order, int row) { harness->setMusic(order, row); }

    // A fresh, transparent copy texture: the next frame has no trails.
    static void clearTrails()
    {
        feedbackLayer->release();
        feedbackLayer->load();
        feedbackLayer->setColor(1.0f, 1.0f, 1.0f, 0.65f);
    }

    // A frame drawn over black without trails, read back.
    static Frame frameAt(Effect& scene, float t)
    {
        clearTrails();
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        scene.draw(t);
        return testsupport::readFrame();
    }

    // Pixels that differ by more than one step in some channel, within rows [y0, 480).
    static int differingPixels(const Frame& a, const Frame& b, int y0 = 0)
    {
        int count = 0;
        for (size_t p = y0 * 640; p < 640 * 480; ++p)
            count += std::abs(a[3 * p] - b[3 * p]) > 1 || std::abs(a[3 * p + 1] - b[3 * p + 1]) > 1
                || std::abs(a[3 * p + 2] - b[3 * p + 2]) > 1;
        return count;
    }

    static GLint integer(GLenum name)
    {
        GLint value = 0;
        glGetIntegerv(name, &value);
        return value;
    }

    static GLfloat real(GLenum name)
    {
        GLfloat value = 0.0f;
        glGetFloatv(name, &value);
        return value;
    }

    std::optional<testsupport::SceneHarness> harness;
};

template <class Scene> std::unique_ptr<Effect> loaded()
{
    auto scene = std::make_unique<Scene>();
    scene->load();
    if constexpr (std::is_same_v<Scene, ColorFillEffect>)
        scene->setColor(0.25f, 0.25f, 0.25f, 0.5f); // as the camera scenes' loads leave it
    if constexpr (std::is_same_v<Scene, LatticeStripsEffect>)
        scene->strips.setInterval(1e9f); // the strips stay transparent: only the lattice moves
    return scene;
}

struct SceneCase {
    const char* name;
    std::unique_ptr<Effect> (*make)();
    int order; // one the scene plays in
    GLboolean blendLeftOn;
    GLint blendSource, blendDestination;
    float pointSize, lineWidth;    // entered with line width 3, drawn with point size 7
    std::array<int, 3> background; // at the top corners, drawn over black
    bool moves;
};

// clang-format off
const SceneCase sceneCases[] = {
    {"SpinningSolids",  loaded<SpinningSolidsEffect>,  0,  GL_FALSE, GL_SRC_ALPHA_SATURATE, GL_ONE,                 10.0f, 1.0f, {13, 140, 140}, true},
    {"ColorFill",       loaded<ColorFillEffect>,       0,  GL_FALSE, GL_SRC_ALPHA,          GL_ONE_MINUS_SRC_ALPHA, 7.0f,  3.0f, {32, 32, 32},   false},
    {"FlashingLattice", loaded<FlashingLatticeEffect>, 11, GL_FALSE, GL_SRC_ALPHA,          GL_ONE_MINUS_SRC_ALPHA, 4.0f,  1.0f, {0, 51, 102},   true},
    {"VertexRing",      loaded<VertexRingEffect>,      5,  GL_TRUE,  GL_SRC_ALPHA,          GL_ONE_MINUS_SRC_ALPHA, 10.0f, 1.0f, {230, 0, 255},  true},
    {"CubeRing",        loaded<CubeRingEffect>,        7,  GL_TRUE,  GL_SRC_ALPHA,          GL_ONE_MINUS_SRC_ALPHA, 10.0f, 1.0f, {51, 153, 230}, true},
    {"LatticeStrips",   loaded<LatticeStripsEffect>,   9,  GL_FALSE, GL_SRC_ALPHA,          GL_ONE_MINUS_SRC_ALPHA, 4.0f,  1.0f, {0, 51, 102},   true},
};
// clang-format on

class Scenes : public SceneTest, public ::testing::WithParamInterface<SceneCase> { };

class SceneDraws : public SceneTest { };

} // namespace

TEST_P(Scenes, LeaveTheOverlaysStateClearToTheirColourAndMoveWithTime)
{
    const std::unique_ptr<Effect> scene = GetParam().make();
    glLineWidth(3.0f);
    scene->enter();
    setMusic(GetParam().order, 8);
    glPointSize(7.0f);
    glBlendFunc(GL_ONE, GL_ZERO);
    frameAt(*scene, 0.0f);

    // at the bottom of both stacks: a pop too many is an error, a push too many shows
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_EQ(integer(GL_PROJECTION_STACK_DEPTH), 1);
    EXPECT_EQ(integer(GL_MODELVIEW_STACK_DEPTH), 1);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(glIsEnabled(GL_BLEND), GetParam().blendLeftOn);
    EXPECT_EQ(integer(GL_BLEND_SRC), GetParam().blendSource);
    EXPECT_EQ(integer(GL_BLEND_DST), GetParam().blendDestination);
    EXPECT_EQ(real(GL_POINT_SIZE), GetParam().pointSize);
    EXPECT_EQ(real(GL_LINE_WIDTH), GetParam().lineWidth);

    // the first frame, seen from the entry eye or the camera's defaults, leaves the top corners free
    for (const int x : { 4, 635 })
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(pixelAt(x, 475)[c], GetParam().background[c], 1) << "x " << x << " channel " << c;

    // From the second frame on the eye stays put (or follows t alone); compared above the
    // pictures of the lower half, and at times where the cube ring's picture is as opaque.
    const Frame start = frameAt(*scene, 0.0f);
    EXPECT_EQ(differingPixels(start, frameAt(*scene, pi), 240) > 1000, GetParam().moves);
}

INSTANTIATE_TEST_SUITE_P(All, Scenes, ::testing::ValuesIn(sceneCases),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SceneDraws, FlashesDecayPerFrameBetweenBeatRowsEachInItsOwnClassWideValue)
{
    SpinningSolidsEffect spinning;
    VertexRingEffect ring;
    FlashingLatticeEffect lattice;
    float* const flashes[] = { &spinningSolidsFlash, &vertexRingFlash, &flashingLatticeFlash };
    const struct {
        Effect* scene;
        int order;
        std::array<float, 5> flash; // from 0 on rows 2, 0, 3, 4 and 5: nothing until the beat, then decay
    } cases[] = {
        { &spinning, 0, { 0.0f, 1.0f, 0.95f, 0.904875f, 0.86393506f } },
        { &ring, 5, { 0.0f, 4.0f, 3.2f, 2.688f, 2.3267328f } },
        { &lattice, 11, { 0.0f, 1.0f, 0.95f, 0.904875f, 0.86393506f } },
    };
    for (int s = 0; s < 3; ++s) {
        const auto& c = cases[s];
        c.scene->load();
        for (float* flash : flashes)
            *flash = 0.0f;
        for (int frame = 0; frame < 5; ++frame) {
            setMusic(c.order, std::array { 2, 0, 3, 4, 5 }[frame]);
            c.scene->draw(1.0f);
            EXPECT_FLOAT_EQ(*flashes[s], c.flash[frame]) << "scene " << s << " frame " << frame;
        }
        for (int row = 6; row < 32; ++row) {
            setMusic(c.order, row);
            c.scene->draw(1.0f);
            const bool beat = row == 8 || row == 9 || row == 16 || row == 17 || row == 24 || row == 25;
            EXPECT_EQ(*flashes[s] == c.flash[1], beat) << "scene " << s << " row " << row;
        }
        for (int other = 0; other < 3; ++other)
            EXPECT_TRUE(other == s || *flashes[other] == 0.0f) << "scene " << s << " moved flash " << other;
    }
}

TEST_F(SceneDraws, CubeRingOnRowsEightSixteenAndTwentyFourIsSeenFromTheEyeThePreviousFrameStored)
{
    CubeRingEffect scene;
    scene.load();
    // the eye stored by a frame moves with its time
    const auto frameAfter = [&](float previous, int row) {
        setMusic(7, 3);
        scene.draw(previous);
        setMusic(7, row);
        return frameAt(scene, 1.0f);
    };
    for (const int row : { 8, 9, 16, 17, 24, 25 })
        EXPECT_EQ(differingPixels(frameAfter(0.0f, row), frameAfter(2.0f, row)) > 1000, row % 8 == 0) << row;
}

TEST_F(SceneDraws, FlashingLatticesLastOrderSinksTheBackgroundAndShrinksThePointsByRow)
{
    const struct {
        int order, row;
        std::array<int, 3> background;
        float pointSize;
    } cases[] = {
        // clang-format off
        {12, 30, {0, 51, 102}, 4.0f}, {13, 2, {0, 35, 86}, 3.0f}, {13, 6, {0, 3, 54}, 3.0f},
        {13, 7, {0, 0, 46}, 3.0f},    {13, 8, {0, 0, 38}, 3.0f},  {13, 12, {0, 0, 6}, 2.0f},
        {13, 13, {0, 0, 0}, 2.0f},    {13, 16, {0, 0, 0}, 2.0f},  {13, 17, {0, 0, 0}, 1.0f},
        {13, 24, {0, 0, 0}, 1.0f},    {13, 25, {0, 0, 0}, 0.5f},
        // clang-format on
    };
    for (const auto& c : cases) {
        FlashingLatticeEffect scene; // its first frame leaves the top corners free
        scene.load();
        setMusic(c.order, c.row);
        frameAt(scene, 0.0f);
        for (const int x : { 5, 634 })
            for (int channel = 0; channel < 3; ++channel)
                EXPECT_NEAR(pixelAt(x, 470)[channel], c.background[channel], 1)
                    << "order " << c.order << " row " << c.row;
        EXPECT_EQ(real(GL_POINT_SIZE), c.pointSize) << "order " << c.order << " row " << c.row;
    }
}

TEST_F(SceneDraws, LatticeStripsTurnToDissolveForGoodOnRowTwentyFour)
{
    LatticeStripsEffect scene;
    scene.load();
    const int frames[][3]
        = { { 9, 23, 1 }, { 9, 24, 2 }, { 9, 25, 2 }, { 10, 0, 2 }, { 10, 23, 2 } }; // order, row, mode
    float t = 0.0f;
    for (const auto& [order, row, mode] : frames) {
        setMusic(order, row);
        scene.draw(t += 0.01f);
        EXPECT_EQ(scene.strips.mode, mode) << "order " << order << " row " << row;
        EXPECT_EQ(scene.strips.interval, mode == 1 ? 0.003f : 0.001f) << "order " << order << " row " << row;
    }
}
