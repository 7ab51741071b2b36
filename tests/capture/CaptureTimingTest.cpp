// The capture's arithmetic: frame instants, the virtual clock, the loading section,
// the video frame layout and the command line.
#include "CaptureOptions.h"
#include "FrameTiming.h"
#include "LoadingSchedule.h"
#include "VideoEncoder.h"
#include "VirtualClock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

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

TEST(FrameTiming, AlignedSectionKeepsTheSampleGridOfWhatFollows)
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

TEST(VirtualClock, SleepsAndFramesMoveTheTickWithoutDrift)
{
    VirtualClock clock(FrameTiming(60, rate));
    clock.sleep(130);
    EXPECT_EQ(clock.tick(), 130u);
    for (int i = 0; i < 3; ++i)
        clock.advanceFrame();
    EXPECT_EQ(clock.tick(), 130u + 50u); // 16.67 ms a frame: 16, 33, 50
    clock.sleep(5); // the frames after it keep their spacing
    for (int i = 0; i < 57; ++i)
        clock.advanceFrame();
    EXPECT_EQ(clock.tick(), 135u + 1000u);

    VirtualClock slow(FrameTiming(7, rate)); // 142.857... ms a frame
    for (int i = 0; i < 7 * 3600; ++i)
        slow.advanceFrame();
    EXPECT_EQ(slow.tick(), 3600u * 1000u);
}

TEST(LoadingSchedule, EachVideoFrameShowsTheLoadingFrameOnScreenAtItsInstant)
{
    // the loader's thirteen presents, 10 ms apart, then its one-second sleep
    std::vector<uint32_t> ticks;
    for (uint32_t tick = 10; tick <= 130; tick += 10)
        ticks.push_back(tick);
    const uint32_t end = 1130;
    for (int fps : { 10, 24, 60, 1000 }) {
        const FrameTiming timing(fps, rate);
        const std::vector<size_t> shown = loadingSchedule(ticks, end, timing);
        const double frameMs = 1000.0 / fps;
        ASSERT_GE(shown.size() * frameMs, end - ticks.front() - 1e-9) << fps << " fps";
        ASSERT_EQ(
            shown.size(), timing.alignToSamples(static_cast<uint64_t>(std::ceil((end - 10) / frameMs))));
        for (size_t frame = 0; frame < shown.size(); ++frame) {
            const double instant = ticks.front() + frame * frameMs;
            const size_t p = shown[frame];
            ASSERT_LT(p, ticks.size());
            ASSERT_LE(ticks[p], instant + 1e-9) << fps << " fps, frame " << frame;
            if (p + 1 < ticks.size()) {
                ASSERT_GT(ticks[p + 1], instant + 1e-9) << fps << " fps, frame " << frame;
            }
        }
    }
    EXPECT_TRUE(loadingSchedule({}, end, FrameTiming(60, rate)).empty());
}

TEST(VideoEncoder, ScaledFrameIsTopRowFirstWithEveryPixelRepeated)
{
    constexpr int width = 3;
    constexpr int height = 2;
    std::vector<uint8_t> bottomUp(width * height * 3);
    for (size_t i = 0; i < bottomUp.size(); ++i)
        bottomUp[i] = static_cast<uint8_t>(i + 1);
    for (int scale : { 1, 3 }) {
        std::vector<uint8_t> out(bottomUp.size() * scale * scale);
        VideoEncoder::scaleAndFlip(bottomUp.data(), width, height, scale, out.data());
        for (int y = 0; y < height * scale; ++y)
            for (int x = 0; x < width * scale; ++x)
                for (int c = 0; c < 3; ++c) {
                    const int sourceRow = height - 1 - y / scale;
                    ASSERT_EQ(out[(y * width * scale + x) * 3 + c],
                        bottomUp[(sourceRow * width + x / scale) * 3 + c])
                        << "scale " << scale << " at " << x << "," << y;
                }
    }
}

TEST(CaptureOptions, ReadsBothFormsAndRefusesWhatItCannotUse)
{
    CaptureOptions options;
    std::string error;
    const char* good[] = { "--variant", "b", "--fps=24", "--frames", "out", "--audio=a.wav", "--video",
        "v.mp4", "--scale", "2", "--until=5", "--loading" };
    ASSERT_TRUE(parseCaptureOptions(12, good, options, error)) << error;
    EXPECT_FLOAT_EQ(options.feedbackAlpha(), 0.99f);
    EXPECT_EQ(options.fps, 24);
    EXPECT_EQ(options.framesDir, "out");
    EXPECT_EQ(options.audioPath, "a.wav");
    EXPECT_EQ(options.videoPath, "v.mp4");
    EXPECT_EQ(options.scale, 2);
    EXPECT_EQ(options.until, 5);
    EXPECT_TRUE(options.loading);

    const std::vector<std::vector<const char*>> bad = {
        { "--variant", "c" },
        { "--fps", "0" },
        { "--fps", "12x" },
        { "--scale", "0" },
        { "--until", "15" },
        { "--until", "0" },
        { "--frames" },
        { "--audio=" },
        { "--loading=1" },
        { "--speed", "2" },
    };
    for (const auto& arguments : bad) {
        CaptureOptions refused;
        error.clear();
        EXPECT_FALSE(
            parseCaptureOptions(static_cast<int>(arguments.size()), arguments.data(), refused, error))
            << arguments[0];
        EXPECT_FALSE(error.empty()) << arguments[0];
    }
}

} // namespace
