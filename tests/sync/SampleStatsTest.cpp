// Summary figures of signed errors.
#include "SampleStats.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using syncbench::SampleStats;
using syncbench::summarize;

TEST(SampleStats, SummarisesSignedValuesAndTheirMagnitudes)
{
    const SampleStats stats = summarize({ 4.0, -3.0, 1.0, -12.0, 2.0 });
    EXPECT_EQ(stats.count, 5u);
    EXPECT_DOUBLE_EQ(stats.mean, -1.6);
    EXPECT_NEAR(stats.spread, 5.6780, 1e-4); // population standard deviation
    EXPECT_DOUBLE_EQ(stats.median, 1.0);
    EXPECT_DOUBLE_EQ(stats.min, -12.0);
    EXPECT_DOUBLE_EQ(stats.max, 4.0);
    EXPECT_DOUBLE_EQ(stats.medianAbs, 3.0);
    EXPECT_DOUBLE_EQ(stats.p95Abs, 12.0);
    EXPECT_DOUBLE_EQ(stats.maxAbs, 12.0);
}

TEST(SampleStats, TakesTheNearestRankForPercentiles)
{
    std::vector<double> values;
    for (int i = 1; i <= 40; ++i)
        values.push_back(i % 2 == 0 ? i : -i);
    const SampleStats stats = summarize(values);
    EXPECT_DOUBLE_EQ(stats.p95Abs, 38.0); // the 38th of 40 magnitudes
    EXPECT_DOUBLE_EQ(stats.medianAbs, 20.0);
    EXPECT_DOUBLE_EQ(stats.median, -1.0) << "the 20th of the sorted signed values";

    const SampleStats none = summarize({});
    EXPECT_EQ(none.count, 0u);
    EXPECT_EQ(none.maxAbs, 0.0);
}

} // namespace
