// The frame clock of the capture and the browser's tests: frame instants and the virtual
// clock never drift, and the loading section ends on the sample grid.
#include "platform/FrameTiming.h"
#include "platform/VirtualClock.h"

#include <gtest/gtest.h>

namespace {

constexpr int rate = 44100;
const int frameRates[] = { 1, 7, 10, 24, 25, 30, 60, 144, 1000 };

TEST(FrameTiming, SamplesAndTicksPerFrameNeverDrift)
{
    for (int fps : frameRates) {
        const FrameTiming timing(fps, rate);
        const uint64_t low = rate / fps;
        uint64_t samples = 0;
        for (uint64_t frame = 0; frame < static_cast<uint64_t>(fps) * 300; ++frame) {
            const uint64_t count = timing.samplesOf(frame);
            ASSERT_TRUE(count == low || count == low + 1) << fps << " fps, frame " << frame;
            samples += count;
            if ((frame + 1) % fps == 0) {
                const uint64_t seconds = (frame + 1) / fps;
                ASSERT_EQ(samples, seconds * rate) << fps << " fps";
                ASSERT_EQ(timing.tickAt(frame + 1), seconds * 1000) << fps << " fps";
            }
        }
    }
}

TEST(FrameTiming, AlignedSectionIsTheShortestThatKeepsTheSampleGridOfWhatFollows)
{
    for (int fps : frameRates) {
        const FrameTiming timing(fps, rate);
        const auto keepsGrid = [&](uint64_t start) {
            for (uint64_t n = 0; n < 3 * static_cast<uint64_t>(fps); ++n)
                if (timing.sampleAt(start + n) - timing.sampleAt(start) != timing.sampleAt(n))
                    return false;
            return true;
        };
        for (uint64_t frames = 0; frames < 40; ++frames) {
            const uint64_t aligned = timing.alignToSamples(frames);
            ASSERT_GE(aligned, frames);
            ASSERT_TRUE(keepsGrid(aligned)) << fps << " fps, " << frames << " frames";
            for (uint64_t shorter = frames; shorter < aligned; ++shorter)
                ASSERT_FALSE(keepsGrid(shorter)) << fps << " fps: " << shorter << " would do";
        }
    }
}

TEST(VirtualClock, SleepsShiftTheFrameGridAndFramesNeverDrift)
{
    VirtualClock clock(FrameTiming(60, rate));
    clock.sleep(130);
    for (int i = 0; i < 3; ++i)
        clock.advanceFrame();
    EXPECT_EQ(clock.tick(), 130u + 50u); // 16.67 ms a frame: 16, 33, 50
    clock.sleep(5);                      // the frames after it keep their spacing
    for (int i = 0; i < 57; ++i)
        clock.advanceFrame();
    EXPECT_EQ(clock.tick(), 135u + 1000u);

    VirtualClock slow(FrameTiming(7, rate)); // 142.857... ms a frame
    for (int i = 0; i < 7 * 3600; ++i)
        slow.advanceFrame();
    EXPECT_EQ(slow.tick(), 3600u * 1000u);
}

} // namespace
