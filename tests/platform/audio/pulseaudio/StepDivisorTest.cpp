#include "platform/audio/pulseaudio/StepDivisor.h"

#include <gtest/gtest.h>

namespace {

using platform::StepDivisor;

// A counter moving a 1024-frame cycle at a time, read at uneven moments.
TEST(StepDivisorTest, FindsTheUnitFromStepsOfSeveralUnits)
{
    StepDivisor divisor;
    EXPECT_EQ(divisor.commonDivisor(), 0);
    divisor.add(4 * 1024);
    EXPECT_EQ(divisor.commonDivisor(), 4 * 1024); // one step cannot tell
    divisor.add(5 * 1024);
    EXPECT_EQ(divisor.commonDivisor(), 1024);
    divisor.add(4 * 1024);
    EXPECT_EQ(divisor.commonDivisor(), 1024);
}

// A step that was not whole, or the old unit after a change, drops out of the window.
TEST(StepDivisorTest, ForgetsOldStepsAfterAWindow)
{
    StepDivisor divisor;
    divisor.add(1000);
    for (int i = 0; i < StepDivisor::window - 1; ++i)
        divisor.add((i % 2 + 3) * 512);
    EXPECT_EQ(divisor.commonDivisor(), 8);
    divisor.add(3 * 512);
    EXPECT_EQ(divisor.commonDivisor(), 512);
}

} // namespace
