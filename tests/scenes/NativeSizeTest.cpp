// The same demo at any size: every scene drawn for a while at 480 and at a multiple of
// it, the larger frame box-filtered down to 640x480 and compared with the 480 one. Trails
// need several frames to build up, so a wrong feedback copy shows; so do points and
// lines drawn at the 480 size on the larger frame.
#include "app/DemoState.h"
#include "music/MusicPlayer.h"
#include "render/FeedbackLayer.h"
#include "render/FrameResizer.h"
#include "render/GLWindow.h"
#include "render/SceneRegistry.h"
#include "scenes/CubeRingEffect.h"
#include "scenes/FlashingLatticeEffect.h"
#include "scenes/LatticeStripsEffect.h"
#include "scenes/SpinningSolidsEffect.h"
#include "scenes/VertexRingEffect.h"
#include "support/GLTestContext.h"
#include "support/ScriptedBackend.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

using Frame = std::vector<unsigned char>; // RGB rows, bottom row first

constexpr int framesDrawn = 24;              // enough for the trails to fill the frame
constexpr float frameSeconds = 1.0f / 30.0f; // scene time per frame

template <class Scene> std::unique_ptr<Effect> loaded()
{
    auto scene = std::make_unique<Scene>();
    scene->load();
    if constexpr (std::is_same_v<Scene, LatticeStripsEffect>)
        scene->strips.setInterval(1e9f); // the strips' random steps would differ between runs
    return scene;
}

struct SceneCase {
    const char* name;
    std::unique_ptr<Effect> (*make)();
    int order; // one the scene plays in
};

// clang-format off
const SceneCase sceneCases[] = {
    {"SpinningSolids",  loaded<SpinningSolidsEffect>,  0},
    {"FlashingLattice", loaded<FlashingLatticeEffect>, 11},
    {"VertexRing",      loaded<VertexRingEffect>,      5},
    {"CubeRing",        loaded<CubeRingEffect>,        7},
    {"LatticeStrips",   loaded<LatticeStripsEffect>,   9},
};
// clang-format on

class NativeSizeTest : public testsupport::GLTest {
protected:
    void TearDown() override
    {
        std::string error;
        EXPECT_TRUE(setFrameHeight(baseFrameHeight, error)) << error;
        feedbackLayer->release();
    }

    // The scene's last frame after framesDrawn frames at the given height, from a fresh
    // start: no trails, no flashes, the music stepping a row every two frames.
    Frame drawScene(const SceneCase& sceneCase, int height)
    {
        resetDemoState();
        std::string error;
        EXPECT_TRUE(testsupport::ensureGLContext(error)) << error;
        EXPECT_TRUE(setFrameHeight(height, error)) << error;
        musicPlayer.setBackend(&backend);
        musicPlayer.positionScaler = 12;
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glFrustum(-1.0, 1.0, -1.0, 1.0, 1.0, 20.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        feedbackLayer->release();
        feedbackLayer->load();
        feedbackLayer->setColor(1.0f, 1.0f, 1.0f, 0.65f);

        std::unique_ptr<Effect> scene = sceneCase.make();
        scene->enter();
        for (int frame = 0; frame < framesDrawn; ++frame) {
            backend.setOrderRow(sceneCase.order, frame / 2);
            musicPlayer.update();
            scene->setMusicPosition(static_cast<uint16_t>(sceneCase.order), static_cast<uint16_t>(frame / 2));
            glClear(GL_COLOR_BUFFER_BIT);
            scene->draw(static_cast<float>(frame) * frameSeconds);
        }
        const int width = glWindow->width();
        Frame frame(static_cast<size_t>(width) * height * 3); // 4H/3 is a multiple of 8: no row padding
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, frame.data());
        scene->leave();
        scene->release();
        return frame;
    }

    testsupport::ScriptedBackend backend;
};

// Each 640x480 pixel the mean of the k x k pixels it covers.
Frame boxFilter(const Frame& large, int k)
{
    const int width = 640 * k;
    Frame small(640 * 480 * 3);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int dy = 0; dy < k; ++dy)
                    for (int dx = 0; dx < k; ++dx)
                        sum += large[(static_cast<size_t>(y * k + dy) * width + x * k + dx) * 3 + c];
                small[(static_cast<size_t>(y) * 640 + x) * 3 + c]
                    = static_cast<unsigned char>((sum + k * k / 2) / (k * k));
            }
    return small;
}

// Mean of |b - a| and of b - a (what b has more light) per channel, in steps of 1/255.
std::pair<double, double> differences(const Frame& a, const Frame& b)
{
    long long absolute = 0, signedSum = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        absolute += std::abs(b[i] - a[i]);
        signedSum += b[i] - a[i];
    }
    const double n = static_cast<double>(a.size());
    return { absolute / n, signedSum / n };
}

// Measured on llvmpipe, in steps of 1/255. Drawn natively, every scene differs by 1.7 to
// 3.8 on average (edges and trails fall on neighbouring pixels), but its brightness by at
// most 0.19 either way. With the copy taken from the wrong part of its texture the
// scenes with trails differ by 27 to 34; with the points at their 480 size the lattices
// by 20 to 26, and the sparse scenes are darker by 0.31 to 2.1.
constexpr double largestDifference = 6.0;
constexpr double largestBrightnessChange = 0.25;

TEST_F(NativeSizeTest, EveryScenePicturedAtTwiceAndThriceTheHeightMatchesItsPictureAt480)
{
    // 960 keeps the feedback texture's fractions of 480 (1280/2048, 960/1024); 1440 has
    // its own (1920/2048, 1440/2048)
    for (const int k : { 2, 3 }) {
        for (const SceneCase& sceneCase : sceneCases) {
            const Frame base = drawScene(sceneCase, baseFrameHeight);
            const Frame large = drawScene(sceneCase, baseFrameHeight * k);
            ASSERT_EQ(large.size(), base.size() * k * k);
            const auto [difference, brightness] = differences(base, boxFilter(large, k));
            RecordProperty(
                std::string(sceneCase.name) + "_" + std::to_string(480 * k), std::to_string(difference));
            std::printf("%-16s at %4d: mean absolute difference %.3f, mean difference %+.3f\n",
                sceneCase.name, 480 * k, difference, brightness);
            EXPECT_LT(difference, largestDifference) << sceneCase.name << " at height " << 480 * k;
            EXPECT_LT(std::abs(brightness), largestBrightnessChange)
                << sceneCase.name << " at height " << 480 * k;
        }
    }
}

} // namespace
