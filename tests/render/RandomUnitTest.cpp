// The random sequence, from its first draw in the process.
#include "render/RandomUnit.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(RandomUnit, FollowsTheFixedSequenceAndStaysBelowOne)
{
    const double step = static_cast<double>(1.0f / 32767.0f);
    EXPECT_EQ(randomUnit(), 41 * step);
    EXPECT_EQ(randomUnit(), 18467 * step);
    EXPECT_EQ(randomUnit(), 6334 * step);

    // Somewhere in the sequence the largest draw, 32767, comes up.
    double largest = 0.0;
    for (int i = 0; i < 1000000; ++i)
        largest = std::max(largest, randomUnit());
    EXPECT_EQ(largest, 0.9999999990686774);
    EXPECT_EQ(static_cast<int>(128 * largest), 127);
}
