// Video frames are handed to the encoder the right way up.
#include "VideoEncoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

TEST(VideoEncoder, FrameGoesTopRowFirst)
{
    constexpr int width = 3;
    constexpr int height = 2;
    std::vector<uint8_t> bottomUp(width * height * 3);
    for (size_t i = 0; i < bottomUp.size(); ++i)
        bottomUp[i] = static_cast<uint8_t>(i + 1);
    std::vector<uint8_t> out(bottomUp.size());
    VideoEncoder::flipRows(bottomUp.data(), width, height, out.data());
    const std::vector<uint8_t> expected { 10, 11, 12, 13, 14, 15, 16, 17, 18, 1, 2, 3, 4, 5, 6, 7, 8, 9 };
    EXPECT_EQ(out, expected);
}

} // namespace
