// The recorder's capture clock from latency readings that jitter, stray, and start off
// far wrong, as a PulseAudio record stream's do.
#include "CaptureClock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
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

// Readings every 10 ms for `seconds`, the first `wrongStart` of them half a second off
// and easing back, every 20th of the rest 4 ms off, all of them jittering by 0.2 ms.
std::vector<CaptureStamp> readings(double seconds, int wrongStart)
{
    std::vector<CaptureStamp> stamps;
    uint32_t state = 1;
    for (int64_t frames = 441, i = 0; frames < seconds * rate; frames += 441, ++i) {
        state = state * 1664525u + 1013904223u;
        const double jitter = (static_cast<double>(state >> 8) / 16777216.0 - 0.5) * 0.4e-3;
        // the monitor hands frames out 5.8 ms before the sink plays them: negative latency
        const double latency = -5.8e-3;
        double reported = latency + jitter;
        if (i < wrongStart) {
            reported += 0.6 * std::min(1.0, 2.0 * (wrongStart - i) / wrongStart);
        } else if (i % 20 == 0) {
            reported += 4e-3;
        }
        const double now = capturedAt(static_cast<double>(frames)) + latency;
        stamps.push_back(CaptureStamp { frames, static_cast<int64_t>(std::llround(now * 1e9)),
            static_cast<int64_t>(std::llround(reported * 1e6)) });
        if (i % 7 == 0) {
            stamps.push_back(stamps.back()); // nothing read since: no new information
        }
    }
    return stamps;
}

TEST(CaptureClock, FollowsTheSinksOwnRateThroughJitterStrayReadingsAndAWrongStart)
{
    // a long run, and a short one whose first quarter is wrong
    for (const auto& [seconds, wrongStart] : { std::pair { 30.0, 120 }, std::pair { 8.0, 200 } }) {
        const CaptureClock clock(readings(seconds, wrongStart), rate);
        ASSERT_TRUE(clock.valid());
        for (const double share : { 0.0, 0.3, 0.6, 0.99 }) {
            const double frame = share * seconds * rate;
            EXPECT_NEAR(clock.timeOf(frame), capturedAt(frame), 0.05e-3) << seconds << " s, frame " << frame;
            EXPECT_NEAR(clock.frameAt(capturedAt(frame)), frame, 2.0) << seconds << " s, frame " << frame;
        }
        // the wrong start and the stray readings were left out
        const double wrong = static_cast<double>(wrongStart) / (seconds * 100.0);
        EXPECT_GT(clock.rejectedShare(), wrong + 0.03) << seconds << " s";
        EXPECT_LT(clock.rejectedShare(), wrong + 0.07) << seconds << " s";
        EXPECT_LT(clock.scatterMs(), 0.25) << seconds << " s";
    }
}

} // namespace
