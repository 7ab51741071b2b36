// The recorder's capture clock from latency readings that jitter, stray, and start off
// far wrong, as a PulseAudio record stream's do.
#include "CaptureClock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

using syncbench::CaptureClock;
using syncbench::CaptureStamp;

constexpr int rate = 44100;
// a null sink that rounds its periods to whole microseconds plays 170 ppm fast
constexpr double playedRate = rate * 1.00017;
constexpr double firstCapture = 1527.25; // seconds

double capturedAt(double frame)
{
    return firstCapture + frame / playedRate;
}

TEST(CaptureClock, FollowsTheSinksOwnRateThroughJitterStrayReadingsAndAWrongStart)
{
    std::vector<CaptureStamp> stamps;
    uint32_t state = 1;
    for (int64_t frames = 441, i = 0; frames < 30 * rate; frames += 441, ++i) {
        state = state * 1664525u + 1013904223u;
        const double jitter = (static_cast<double>(state >> 8) / 16777216.0 - 0.5) * 0.4e-3; // +-0.2 ms
        // the monitor hands frames out 5.8 ms before the sink plays them: negative latency
        const double latency = -5.8e-3;
        double reported = latency + jitter;
        if (i < 120) {
            reported += 0.58; // the stream's first readings, far off
        } else if (i % 20 == 0) {
            reported += 4e-3; // and now and then a stray one
        }
        const double now = capturedAt(static_cast<double>(frames)) + latency;
        stamps.push_back(CaptureStamp { frames, static_cast<int64_t>(std::llround(now * 1e9)),
            static_cast<int64_t>(std::llround(reported * 1e6)) });
        if (i % 7 == 0) {
            stamps.push_back(stamps.back()); // nothing read since: no new information
        }
    }
    const CaptureClock clock(stamps, rate);
    ASSERT_TRUE(clock.valid());
    for (const double frame : { 0.0, 441.0 * 120, 10.0 * rate, 29.9 * rate }) {
        EXPECT_NEAR(clock.timeOf(frame), capturedAt(frame), 0.05e-3) << "frame " << frame;
        EXPECT_NEAR(clock.frameAt(capturedAt(frame)), frame, 2.0) << "frame " << frame;
    }
    // the wrong start and the stray readings, about 10 % of them, were left out
    EXPECT_GT(clock.rejectedShare(), 0.08);
    EXPECT_LT(clock.rejectedShare(), 0.15);
    EXPECT_LT(clock.scatterMs(), 0.25);
}

TEST(CaptureClock, IsInvalidWithoutReadings)
{
    EXPECT_FALSE(CaptureClock({}, rate).valid());
    EXPECT_TRUE(CaptureClock({ CaptureStamp { 441, 1000000000, 0 } }, rate).valid());
}

} // namespace
