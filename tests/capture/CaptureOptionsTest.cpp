// The capture's command line: the frame height, and the pixel repeat it replaced.
#include "CaptureOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

bool parse(std::vector<const char*> arguments, CaptureOptions& options, std::string& error)
{
    return parseCaptureOptions(static_cast<int>(arguments.size()), arguments.data(), options, error);
}

TEST(CaptureOptions, HeightIsAMultipleOfSixFrom480)
{
    CaptureOptions options;
    std::string error;
    EXPECT_EQ(options.height, 480);
    ASSERT_TRUE(parse({ "--height", "1080" }, options, error)) << error;
    EXPECT_EQ(options.height, 1080);
    ASSERT_TRUE(parse({ "--height=2160" }, options, error)) << error;
    EXPECT_EQ(options.height, 2160);
    for (const char* bad : { "474", "1000", "-480", "1080p", "" }) {
        EXPECT_FALSE(parse({ "--height", bad }, options, error)) << bad;
        EXPECT_NE(error.find("multiple of 6 from 480"), std::string::npos) << error;
    }
}

TEST(CaptureOptions, TheOldUpscaleNamesItsReplacement)
{
    CaptureOptions options;
    std::string error;
    EXPECT_FALSE(parse({ "--scale", "2" }, options, error));
    EXPECT_NE(error.find("--height"), std::string::npos) << error;
}

} // namespace
