// The same demo at any size: every scene drawn for a while at 480 and at a multiple of
// it, the larger frame box-filtered down to 640x480 and compared with the 480 one. Trails
// need several frames to build up, so a wrong feedback copy shows; so do points and
// lines drawn at the 480 size on the larger frame.
#include "app/DemoState.h"
#include "render/FrameResizer.h"
#include "render/GLWindow.h"
#include "scenes/LatticeStripsEffect.h"
#include "support/GLTestContext.h"
#include "support/SceneHarness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using Frame = std::vector<unsigned char>; // RGB rows, bottom row first

constexpr int framesDrawn = 24;              // enough for the trails to fill the frame
constexpr float frameSeconds = 1.0f / 30.0f; // scene time per frame

class NativeSizeTest : public testsupport::GLTest {
protected:
    // The scene's last frame after framesDrawn frames at the given height, from a fresh
    // start: no trails, no flashes, the music stepping a row every two frames.
    Frame drawScene(const testsupport::TimelineScene& timelineScene, int height)
    {
        resetDemoState();
        std::string error;
        EXPECT_TRUE(testsupport::ensureGLContext(error)) << error;
        EXPECT_TRUE(setFrameHeight(height, error)) << error;
        testsupport::SceneHarness harness(0.65f);

        std::unique_ptr<Effect> scene = timelineScene.make();
        scene->load();
        if (auto* strips = dynamic_cast<LatticeStripsEffect*>(scene.get()))
            strips->strips.setInterval(1e9f); // the strips' random steps would differ between runs
        scene->enter();
        for (int frame = 0; frame < framesDrawn; ++frame)
            harness.drawFrame(
                *scene, timelineScene.order, frame / 2, static_cast<float>(frame) * frameSeconds);
        const Frame frame = testsupport::readFrame();
        scene->leave();
        scene->release();
        return frame;
    }
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
        for (const testsupport::TimelineScene& scene : testsupport::timelineScenes()) {
            const Frame base = drawScene(scene, baseFrameHeight);
            const Frame large = drawScene(scene, baseFrameHeight * k);
            ASSERT_EQ(large.size(), base.size() * k * k);
            const auto [difference, brightness] = differences(base, boxFilter(large, k));
            RecordProperty(
                std::string(scene.name) + "_" + std::to_string(480 * k), std::to_string(difference));
            std::printf("%-22s at %4d: mean absolute difference %.3f, mean difference %+.3f\n", scene.name,
                480 * k, difference, brightness);
            EXPECT_LT(difference, largestDifference) << scene.name << " at height " << 480 * k;
            EXPECT_LT(std::abs(brightness), largestBrightnessChange)
                << scene.name << " at height " << 480 * k;
        }
    }
}

} // namespace
