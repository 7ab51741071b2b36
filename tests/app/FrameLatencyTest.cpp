// The lead from reading the music to the frame on screen.
#include "app/FrameLatency.h"

#include <gtest/gtest.h>

TEST(FrameLatency, FollowsTheDrawToPresentTimeShrugsOffHiccupsAndAddsTheDisplaysDelay)
{
    FrameLatency latency;
    latency.frameShown(10.0, 10.020, 0.0);
    EXPECT_NEAR(latency.seconds(), 0.020, 1e-9); // the first frame is taken as it is

    for (int frame = 0; frame < 60; ++frame)
        latency.frameShown(frame, frame + 0.030, 0.0);
    EXPECT_NEAR(latency.seconds(), 0.030, 0.0005);

    latency.frameShown(100.0, 102.0, 0.0); // a two-second stall counts as one long frame
    EXPECT_LT(latency.seconds(), 0.030 + 0.1 * FrameLatency::longestFrame + 1e-9);

    for (int frame = 0; frame < 60; ++frame)
        latency.frameShown(frame, frame + 0.030, 1.0 / 60.0);
    EXPECT_NEAR(latency.seconds(), 0.030 + 1.0 / 60.0, 0.0005);
}
