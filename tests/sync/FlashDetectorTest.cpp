// Flash onsets in a brightness series that drifts between flashes, and their pairing
// with the beats.
#include "FlashDetector.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using syncbench::FlashDetector;
using syncbench::nearestOnset;
using syncbench::ScreenUpdate;

// 40 updates a second from 100 s on; the lower bands fade back by 0.3 a frame
std::vector<ScreenUpdate> fadingSeries(int count)
{
    std::vector<ScreenUpdate> updates(count);
    for (int i = 0; i < count; ++i) {
        updates[i].ns = 100000000000 + static_cast<int64_t>(i) * 25000000;
        updates[i].bands[2] = 100.0 - 0.3 * (i % 40);
        updates[i].bands[3] = 80.0 + 0.3 * (i % 40);
    }
    return updates;
}

TEST(FlashDetector, FindsTheJumpsOfTheLowerBandsOnly)
{
    std::vector<ScreenUpdate> updates = fadingSeries(200);
    // a flash every 40 updates (the fade restarts with a jump of 11.7 in each band);
    // update 120 doubles its flash on the next frame; update 85 flashes the upper
    // bands only; update 170 changes the lower bands by less than a flash does
    updates[121].bands[2] += 6.0;
    for (int i = 85; i < 200; ++i)
        updates[i].bands[0] += 30.0;
    for (int i = 170; i < 200; ++i)
        updates[i].bands[3] += 2.0;

    const std::vector<double> onsets = FlashDetector().onsets(updates);
    ASSERT_EQ(onsets.size(), 4u);
    for (int k = 0; k < 4; ++k)
        EXPECT_DOUBLE_EQ(onsets[k], 100.0 + (40 * (k + 1)) * 0.025) << k;
}

TEST(FlashDetector, PairsABeatWithTheNearestOnsetWithinReach)
{
    const std::vector<double> onsets = { 10.00, 11.25, 12.40 };
    double offset = 0.0;
    ASSERT_TRUE(nearestOnset(onsets, 11.20, 0.5, offset));
    EXPECT_NEAR(offset, 0.05, 1e-12);
    ASSERT_TRUE(nearestOnset(onsets, 11.32, 0.5, offset));
    EXPECT_NEAR(offset, -0.07, 1e-12) << "an onset before the beat counts as early";
    ASSERT_TRUE(nearestOnset(onsets, 9.8, 0.5, offset));
    EXPECT_NEAR(offset, 0.2, 1e-12);
    EXPECT_FALSE(nearestOnset(onsets, 13.0, 0.5, offset));
    EXPECT_FALSE(nearestOnset({}, 1.0, 0.5, offset));
}

} // namespace
