// Frame heights against the rule the options follow and against the GL's limits.
#include "render/FrameSize.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// llvmpipe's limits
constexpr FrameLimits llvmpipe { 16384, 16384, 16384, 16384, 255.0f, 255.0f };

bool names(const std::string& problem, const char* text)
{
    return problem.find(text) != std::string::npos;
}

TEST(FrameHeightRule, OptionsTakeWholeMultiplesOfSixFrom480AndNothingElse)
{
    int height = 0;
    ASSERT_TRUE(parseFrameHeight("480", height));
    EXPECT_EQ(height, 480);
    ASSERT_TRUE(parseFrameHeight("2160", height));
    EXPECT_EQ(height, 2160);
    EXPECT_EQ(frameWidthFor(height), 2880);
    for (const char* bad :
        { "474", "1000", "0", "-480", "1080p", "", " ", "0x1e0", "99999999999999999999" }) {
        height = 7;
        EXPECT_FALSE(parseFrameHeight(bad, height)) << bad;
        EXPECT_EQ(height, 7) << "a refused height is not stored: " << bad;
    }
}

TEST(FrameLimits, TheLargestHeightIsSetByTheTightestLimit)
{
    // the points: round(10 * H / 480) <= 255 up to 12263, as a multiple of 6
    EXPECT_EQ(largestFrameHeight(llvmpipe), 12258);
    EXPECT_TRUE(frameHeightProblem(12258, llvmpipe).empty());
    EXPECT_TRUE(names(frameHeightProblem(12264, llvmpipe), "points are 256 pixels"));
    EXPECT_TRUE(names(frameHeightProblem(1000, llvmpipe), "multiple of 6 from 480"));

    FrameLimits texture = llvmpipe; // only 2048 of 3000 texels make a power of two
    texture.maxTextureSize = 3000;
    EXPECT_EQ(largestFrameHeight(texture), 1536);
    EXPECT_TRUE(names(frameHeightProblem(1542, texture), "feedback texture"));

    FrameLimits lines = llvmpipe; // the loading bar's outline, 2 pixels at 480
    lines.maxLineWidth = 10.0f;
    EXPECT_EQ(largestFrameHeight(lines), 2514); // round(2 * 2514 / 480) = 10
    EXPECT_TRUE(names(frameHeightProblem(2520, lines), "lines are 11 pixels"));
}

TEST(FrameLimits, AnAreaGetsTheLargestFrameThatFitsButNeverLessThan480)
{
    EXPECT_EQ(frameHeightFitting(3840, 2160, llvmpipe), 2160);
    EXPECT_EQ(frameHeightFitting(1366, 768, llvmpipe), 768);
    EXPECT_EQ(frameHeightFitting(1001, 1001, llvmpipe), 750); // a tall window: its width decides
    EXPECT_EQ(frameHeightFitting(320, 240, llvmpipe), 480);
    EXPECT_EQ(frameHeightFitting(40000, 30000, llvmpipe), 12258);
}

} // namespace
