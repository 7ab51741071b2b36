// The integer sine, square root and phase step that keep the generator's output identical everywhere.
#include "FixedMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

using namespace datagen;

TEST(FixedMath, SineStaysWithinOneUnitOfTheTrueSine)
{
    const double pi = std::acos(-1.0);
    for (uint64_t i = 0; i < 8192; ++i) {
        const uint32_t phase = static_cast<uint32_t>(i * (fullTurn / 8192) + i * 977);
        const double expected = 32767.0 * std::sin(2.0 * pi * static_cast<double>(phase) / 4294967296.0);
        ASSERT_NEAR(sineQ15(phase), expected, 1.0) << "phase " << phase;
        ASSERT_NEAR(tableSine(phase), expected, 4.0) << "phase " << phase;
    }
    EXPECT_EQ(sineQ15(0), 0);
    EXPECT_EQ(sineQ15(1u << 30), 32767);
    EXPECT_EQ(sineQ15(2u << 30), 0);
    EXPECT_EQ(sineQ15(3u << 30), -32767);
    EXPECT_EQ(tableSine(5u << 16), sineQ15(5u << 16)) << "table entries are exact at their own phases";
}

TEST(FixedMath, IntegerSqrtIsTheFloorOfTheRoot)
{
    for (uint64_t r : {uint64_t{0}, uint64_t{1}, uint64_t{2}, uint64_t{255}, uint64_t{4096}, uint64_t{65535},
             uint64_t{3037000499}, uint64_t{4294967295}}) {
        const uint64_t square = r * r;
        EXPECT_EQ(integerSqrt(square), r);
        if (square > 0) {
            EXPECT_EQ(integerSqrt(square - 1), r - 1);
        }
        EXPECT_EQ(integerSqrt(square + 2 * r), r) << "just below the next square";
    }
}

TEST(FixedMath, PhaseStepCompletesOneCyclePerPeriod)
{
    // 441 Hz at 44100 Hz: one cycle every 100 samples.
    const uint64_t step = phaseStep(441000, 44100);
    EXPECT_NEAR(static_cast<double>(step * 100), static_cast<double>(fullTurn), 100.0);
}
