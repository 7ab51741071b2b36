// The two lattice scenes, drawn in the headless context: what they share (state left
// behind, background, motion, the row-chosen eye, the camera setters that only store),
// then the strip picture of the one and the flashing picture and last order of the other.
#include "scenes/FlashingLatticeEffect.h"
#include "scenes/SceneFixture.h"
#include "scenes/LatticeStripsEffect.h"
#include "scenes/SpinningSolidsEffect.h"
#include "support/FramePng.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <sys/stat.h>

using scenetest::Frame;
using testsupport::pixelAt;

namespace {

constexpr float pi = static_cast<float>(M_PI);
const std::array<int, 3> darkBlue = {0, 51, 102}, white = {255, 255, 255};

// A scene loaded and entered, with the run's state as at program start.
template <class Scene>
class LoadedScene : public scenetest::SceneTest {
protected:
    void SetUp() override
    {
        scenetest::SceneTest::SetUp();
        if (HasFatalFailure())
            return;
        StripPictureEffect::lastUpdateTime = -1.0f;
        FlashingLatticeEffect::flash = 0.0f;
        scene = make();
        scene->load();
        glLineWidth(3.0f); // enter sets 1
        scene->enter();
    }
    virtual std::unique_ptr<Scene> make() = 0;

    std::unique_ptr<Scene> scene;
};

template <class Scene>
class OneScene : public LoadedScene<Scene> {
    std::unique_ptr<Scene> make() override { return std::make_unique<Scene>(); }
};
using LatticeStrips = OneScene<LatticeStripsEffect>;
using FlashingLattice = OneScene<FlashingLatticeEffect>;

struct LatticeCase {
    const char* name;
    std::function<std::unique_ptr<CameraScene>()> make;
    int order;          // one the scene plays in
    float halfTurnTime; // seconds for the eye's half circle
};

void PrintTo(const LatticeCase& c, std::ostream* out)
{
    *out << c.name;
}

const LatticeCase latticeCases[] = {
    {"LatticeStrips",   [] { return std::make_unique<LatticeStripsEffect>(); },   9,  pi},
    {"FlashingLattice", [] { return std::make_unique<FlashingLatticeEffect>(); }, 11, 2 * pi},
};

class LatticeScenes : public LoadedScene<CameraScene>, public ::testing::WithParamInterface<LatticeCase> {
    std::unique_ptr<CameraScene> make() override { return GetParam().make(); }
};

GLint integer(GLenum name)
{
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

GLfloat real(GLenum name)
{
    GLfloat value = 0.0f;
    glGetFloatv(name, &value);
    return value;
}

} // namespace

TEST_P(LatticeScenes, LeavesStacksEnablesBlendFactorsAndSizes)
{
    const int projection = testsupport::matrixStackDepth(GL_PROJECTION_STACK_DEPTH);
    const int modelview = testsupport::matrixStackDepth(GL_MODELVIEW_STACK_DEPTH);
    setMusic(GetParam().order, 3);
    scene->draw(0.5f);

    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_EQ(testsupport::matrixStackDepth(GL_PROJECTION_STACK_DEPTH), projection);
    EXPECT_EQ(testsupport::matrixStackDepth(GL_MODELVIEW_STACK_DEPTH), modelview);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(integer(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(integer(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(real(GL_POINT_SIZE), 4.0f);
    EXPECT_EQ(real(GL_LINE_WIDTH), 1.0f);
}

TEST_P(LatticeScenes, ClearsToDarkBlueAndTheLatticeMovesWithTime)
{
    setMusic(GetParam().order, 2);
    scene->draw(0.0f);
    // the top of a first frame, seen with the camera's defaults: no point, no trail, no picture
    for (const int x : {5, 320, 634})
        EXPECT_EQ(pixelAt(x, 470), darkBlue) << "x " << x;

    const Frame start = readFrame();
    scene->draw(3.0f);
    EXPECT_GT(differingPixels(start, readFrame()), 20000);
}

TEST_P(LatticeScenes, EyeFollowsTheRowWithInclusiveBounds)
{
    const float half = GetParam().halfTurnTime;
    const struct {
        int row;
        float t;
        std::array<float, 3> eye;
    } cases[] = {
        {0,  0.0f,     {0.0f, 11.0f, 6.0f}},
        {8,  0.0f,     {0.0f, 11.0f, 6.0f}},
        {9,  0.0f,     {8.0f, 0.0f,  3.0f}},
        {16, 0.0f,     {8.0f, 0.0f,  3.0f}},
        {17, 0.0f,     {8.0f, 3.0f,  0.0f}},
        {24, 0.0f,     {8.0f, 3.0f,  0.0f}},
        {25, 0.0f,     {8.0f, 3.0f,  3.0f}},
        {31, 0.0f,     {8.0f, 3.0f,  3.0f}},
        {8,  half / 2, {0.0f, 8.0f,  8.0f}},
        {25, half,     {2.0f, 3.0f,  3.0f}},
    };
    for (const auto& c : cases) {
        setMusic(GetParam().order, c.row);
        scene->draw(c.t);
        const Vec4 eye = scene->camera.eye;
        EXPECT_NEAR(eye.x, c.eye[0], 1e-5f) << "row " << c.row << " t " << c.t;
        EXPECT_NEAR(eye.y, c.eye[1], 1e-5f) << "row " << c.row << " t " << c.t;
        EXPECT_NEAR(eye.z, c.eye[2], 1e-5f) << "row " << c.row << " t " << c.t;
    }
}

TEST_P(LatticeScenes, TargetAndFieldOfViewShowFromTheNextFrame)
{
    const float t = GetParam().halfTurnTime / 2; // field of view at its widest
    setMusic(GetParam().order, 2);
    std::array<Frame, 3> frames;
    for (Frame& frame : frames) {
        clearTrails();
        scene->draw(t); // same time, same row: only what the frame before stored differs
        frame = readFrame();
    }
    EXPECT_NEAR(scene->camera.fovY, 100.0f, 1e-4f);
    EXPECT_EQ(scene->camera.target.x, 8.0f);
    EXPECT_EQ(scene->camera.target.y, 7.0f);
    EXPECT_EQ(scene->camera.target.z, 5.0f);
    EXPECT_GT(differingPixels(frames[0], frames[1]), 1000);
    EXPECT_EQ(differingPixels(frames[1], frames[2]), 0);

    scene->draw(3 * t);
    EXPECT_NEAR(scene->camera.fovY, 20.0f, 1e-4f);
}

// Not a check: frames to look at, written with --gtest_also_run_disabled_tests.
TEST_P(LatticeScenes, DISABLED_WritesFramesForLooking)
{
    ::mkdir("/tmp/frames", 0755);
    ::mkdir("/tmp/frames/scenesB", 0755);
    float t = 0.0f;
    for (int order = GetParam().order; order <= GetParam().order + 2; ++order) {
        for (int frame = 0; frame < 128; ++frame, t += 1.0f / 30.0f) {
            setMusic(order, frame / 4, 0.002f * (frame / 4 % 8));
            scene->draw(t);
            if (frame % 32 == 0 || frame % 32 == 5)
                testsupport::writeFramePng("/tmp/frames/scenesB/" + std::string(GetParam().name) + "-o"
                                           + std::to_string(order) + "-row" + std::to_string(frame / 4) + ".png");
        }
    }
    if (auto* lattice = dynamic_cast<LatticeStripsEffect*>(scene.get())) {
        for (float& a : lattice->strips.stripAlpha)
            a = 1.0f;
        lattice->draw(t); // the same time: no update
        testsupport::writeFramePng("/tmp/frames/scenesB/LatticeStrips-revealed.png");
    }
}

INSTANTIATE_TEST_SUITE_P(Scenes, LatticeScenes, ::testing::ValuesIn(latticeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LatticeStrips, OpaqueStripsCoverTheLowerHalfAndNeverEnterTheTrails)
{
    StripPictureEffect& strips = scene->strips;
    strips.setFileName(solidPicture("white.tga", 255, 255, 255).c_str());
    strips.load();
    for (float& a : strips.stripAlpha)
        a = 1.0f;
    setMusic(9, 2);
    scene->draw(1.0f);
    for (const int x : {1, 320, 638})
        for (const int y : {1, 120, 238})
            EXPECT_EQ(pixelAt(x, y), white) << x << ", " << y;
    EXPECT_NE(pixelAt(320, 300), white);

    for (float& a : strips.stripAlpha)
        a = 0.0f;
    scene->draw(1.0f); // the same time: no random update
    EXPECT_LT(pixelAt(320, 120)[0], 200);
    EXPECT_LT(pixelAt(5, 5)[0], 200);
}

TEST_F(LatticeStrips, RowTwentyFourTurnsTheStripsToDissolveForGood)
{
    const struct {
        int order, row, mode;
        float interval;
    } frames[] = {
        {9, 23, 1, 0.003f}, {9, 24, 2, 0.001f}, {9, 25, 2, 0.001f}, {10, 0, 2, 0.001f}, {10, 23, 2, 0.001f},
    };
    float t = 0.0f;
    for (const auto& f : frames) {
        setMusic(f.order, f.row);
        scene->draw(t += 0.01f);
        EXPECT_EQ(scene->strips.mode, f.mode) << "order " << f.order << " row " << f.row;
        EXPECT_EQ(scene->strips.interval, f.interval) << "order " << f.order << " row " << f.row;
    }
}

TEST_F(FlashingLattice, LastOrderSinksTheBackgroundAndShrinksThePoints)
{
    const struct {
        int order, row;
        std::array<int, 3> background;
        float pointSize;
    } cases[] = {
        {12, 30, {0, 51, 102}, 4.0f},
        {13, 2,  {0, 35, 86},  3.0f}, // 0.2 - 0.0625, 0.4 - 0.0625
        {13, 6,  {0, 3,  54},  3.0f},
        {13, 7,  {0, 0,  46},  3.0f},
        {13, 8,  {0, 0,  38},  3.0f},
        {13, 12, {0, 0,  6},   2.0f},
        {13, 13, {0, 0,  0},   2.0f},
        {13, 16, {0, 0,  0},   2.0f},
        {13, 17, {0, 0,  0},   1.0f},
        {13, 24, {0, 0,  0},   1.0f},
        {13, 25, {0, 0,  0},   0.5f},
    };
    for (const auto& c : cases) {
        FlashingLatticeEffect fresh; // its first frame leaves the top rows free
        fresh.load();
        fresh.enter();
        clearTrails();
        setMusic(c.order, c.row);
        FlashingLatticeEffect::flash = 0.0f; // picture hidden
        fresh.draw(0.0f);
        for (const int x : {5, 320, 634})
            for (int channel = 0; channel < 3; ++channel)
                EXPECT_NEAR(pixelAt(x, 470)[channel], c.background[channel], 1) << "order " << c.order << " row " << c.row;
        EXPECT_EQ(real(GL_POINT_SIZE), c.pointSize) << "order " << c.order << " row " << c.row;
    }
}

TEST_F(FlashingLattice, FlashDecaysPerFrameOnItsOwn)
{
    SpinningSolidsEffect::flash = 0.3f;
    const struct {
        int row;
        float flash;
    } frames[] = {{2, 0.0f}, {0, 1.0f}, {2, 0.95f}, {3, 0.904875f}, {4, 0.863935f}, {9, 1.0f}, {10, 0.95f}};
    for (const auto& f : frames) {
        setMusic(11, f.row);
        scene->draw(0.1f);
        EXPECT_FLOAT_EQ(FlashingLatticeEffect::flash, f.flash) << "row " << f.row;
    }
    EXPECT_EQ(SpinningSolidsEffect::flash, 0.3f);
}

TEST_F(FlashingLattice, PictureShowsWithFlashAndLevelAndChangesInTheLastOrder)
{
    loadTexture(scene->picture, solidPicture("white.tga", 255, 255, 255).c_str());
    loadTexture(scene->picture2, solidPicture("red.tga", 255, 0, 0).c_str());
    auto drawAt = [&](int order, int row, float level) {
        clearTrails();
        setMusic(order, row, level);
        scene->draw(1.0f); // same time: the camera stores the same target and view each frame
    };
    drawAt(11, 2, 0.0f);
    drawAt(11, 2, 0.0f);
    const auto below = pixelAt(320, 240);
    const auto outside = pixelAt(30, 240);

    drawAt(11, 0, 0.0f); // beat row: alpha 0.6
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(pixelAt(320, 240)[c], 0.6 * 255 + 0.4 * below[c], 2) << "channel " << c;
    EXPECT_EQ(pixelAt(30, 240), outside); // the picture spans the middle four fifths

    FlashingLatticeEffect::flash = 0.0f;
    drawAt(11, 2, 0.025f); // the level alone: alpha 16 * 0.025
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(pixelAt(320, 240)[c], 0.4 * 255 + 0.6 * below[c], 2) << "channel " << c;

    drawAt(12, 2, 1.0f); // clamped to opaque
    EXPECT_EQ(pixelAt(320, 240), white);
    drawAt(13, 2, 1.0f);
    for (const auto& [x, y] : {std::pair{320, 240}, {70, 2}, {570, 477}})
        EXPECT_EQ(pixelAt(x, y), (std::array<int, 3>{255, 0, 0})) << x << ", " << y;
}

TEST_F(FlashingLattice, PointsDriftToWhiteByTwentySeconds)
{
    setMusic(11, 2);
    scene->draw(25.0f);
    clearTrails();
    scene->draw(25.0f);
    int points = 0;
    const Frame frame = readFrame();
    for (size_t p = 0; p < frame.size(); p += 3) {
        const std::array<int, 3> pixel = {frame[p], frame[p + 1], frame[p + 2]};
        ASSERT_TRUE(pixel == darkBlue || pixel == white) << "pixel " << p / 3;
        points += pixel == white;
    }
    EXPECT_GT(points, 1000);
}
