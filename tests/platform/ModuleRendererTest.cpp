// Offline rendering of generated modules whose row length is known exactly.
#include "platform/ModuleRenderer.h"

#include "platform/DebugOutput.h"
#include "platform/TestModule.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using platform::ModulePosition;
using platform::ModuleRenderer;
using testing_support::TestModuleLayout;

constexpr int rate = 44100;
constexpr int chunk = ModuleRenderer::chunkFrames;
constexpr int step = ModuleRenderer::stepFrames;

TEST(ModuleRenderer, ReportsThePositionOfTheChunkHoldingTheFrame)
{
    // two tempos, so a row length taken from the wrong field shows
    const TestModuleLayout layouts[] = {{3, 8, 6, 125, true}, {3, 8, 3, 150, false}};
    for (const TestModuleLayout& layout : layouts) {
        const std::vector<uint8_t> bytes = testing_support::makeTestModule(layout);
        ModuleRenderer renderer(rate);
        ASSERT_TRUE(renderer.loadMemory(bytes.data(), bytes.size())) << renderer.lastError();
        std::vector<float> buffer(2 * 4 * chunk);
        const double row = testing_support::rowFrames(layout, rate);
        for (uint64_t frame = 0; frame < row * 20; frame += 97) {
            while (renderer.renderedFrames() <= frame) {
                renderer.render(buffer.data(), 4 * chunk); // as a device asks: the FIFO holds only so much
            }
            const double rowsPlayed = static_cast<double>((frame / chunk + 1) * chunk) / row; // at the chunk's end
            const int whole = static_cast<int>(rowsPlayed);
            if ((rowsPlayed - whole) * row <= step) {
                continue; // a row start is known to within one render step
            }
            const ModulePosition position = renderer.positionAt(frame);
            ASSERT_EQ(position.order, whole / layout.rows) << "frame " << frame;
            ASSERT_EQ(position.row, whole % layout.rows) << "frame " << frame;
            ASSERT_NEAR(position.rowFraction, rowsPlayed - whole, step / row) << "frame " << frame;
        }
    }
}

TEST(ModuleRenderer, PackedPositionDividesBackToTheRow)
{
    for (int scaler : {1, 12, 16}) {
        for (int row = 0; row < 64; ++row) {
            for (float fraction : {0.0f, 0.49f, 0.5f, 0.99999994f}) {
                const ModulePosition position{static_cast<uint16_t>(row % 15), static_cast<uint16_t>(row), fraction};
                const uint32_t packed = ModuleRenderer::packPosition(position, scaler);
                ASSERT_EQ(packed & 0xFFFFu, position.order);
                ASSERT_EQ((packed >> 16) / scaler, static_cast<uint32_t>(row)) << "fraction " << fraction;
                ASSERT_EQ((packed >> 16) % scaler, static_cast<uint32_t>(std::floor(fraction * scaler)));
            }
        }
    }
}

TEST(ModuleRenderer, RefusesWhatIsNoModuleAndLogsOnlyToTheDebugChannel)
{
    std::string logged;
    platform::setDebugSink([&](const char* text) { logged += text; });
    testing::internal::CaptureStderr();

    ModuleRenderer renderer(rate);
    const std::vector<uint8_t> garbage(4000, 0x5A);
    EXPECT_FALSE(renderer.loadMemory(garbage.data(), garbage.size()));
    EXPECT_FALSE(renderer.lastError().empty());
    EXPECT_FALSE(renderer.loadFile("no/such/dir/missing.it"));
    EXPECT_NE(renderer.lastError().find("missing.it"), std::string::npos);
    std::vector<uint8_t> truncated = testing_support::makeTestModule(TestModuleLayout{});
    truncated.resize(truncated.size() - 40); // still loads, with a complaint from libopenmpt
    EXPECT_TRUE(renderer.loadMemory(truncated.data(), truncated.size()));

    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    platform::setDebugSink(nullptr);
    EXPECT_NE(logged.find("libopenmpt"), std::string::npos);
}

} // namespace
