// The capture's frame height on the command line, and the pixel repeat it replaced.
#include "CaptureOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(CaptureOptions, HeightIsAMultipleOfSixFrom480AndScaleNamesIt)
{
    CaptureOptions options;
    std::string error;
    const auto parse = [&](std::vector<const char*> arguments) {
        return parseCaptureOptions(static_cast<int>(arguments.size()), arguments.data(), options, error);
    };
    ASSERT_TRUE(parse({ "--height=2160" })) << error;
    EXPECT_EQ(options.height, 2160);
    for (const char* bad : { "474", "1000", "1080p", "" }) {
        EXPECT_FALSE(parse({ "--height", bad })) << bad;
        EXPECT_NE(error.find("multiple of 6 from 480"), std::string::npos) << error;
    }
    EXPECT_FALSE(parse({ "--scale", "2" }));
    EXPECT_NE(error.find("--height"), std::string::npos) << error;
}

} // namespace
