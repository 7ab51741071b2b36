// The TGA writer: header layout, pixel byte order and row order.
#include "TgaWriter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using datagen::Image;
using datagen::TgaWriter;

namespace {

Image gradientImage(int width, int height)
{
    Image image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = image.pixel(x, y);
            p[0] = static_cast<uint8_t>(10 + x);      // red
            p[1] = static_cast<uint8_t>(50 + y);      // green
            p[2] = static_cast<uint8_t>(100 + x + y); // blue
            p[3] = static_cast<uint8_t>(200 + y);     // alpha
        }
    }
    return image;
}

} // namespace

TEST(TgaWriter, WritesTheAcceptedHeaderFollowedByEveryPixel)
{
    const std::vector<uint8_t> bytes = TgaWriter::encode(gradientImage(300, 2), 32);
    const std::vector<uint8_t> fixed = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    ASSERT_EQ(bytes.size(), 18u + 300u * 2u * 4u);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 12), fixed);
    EXPECT_EQ(bytes[12] + 256 * bytes[13], 300); // width, low byte first
    EXPECT_EQ(bytes[14] + 256 * bytes[15], 2);
    EXPECT_EQ(bytes[16], 32);
    EXPECT_EQ(bytes[17] & 0x0F, 8) << "descriptor announces 8 alpha bits";
    EXPECT_EQ(bytes[17] & 0x20, 0) << "descriptor announces the bottom row first";

    const std::vector<uint8_t> rgb = TgaWriter::encode(gradientImage(4, 4), 24);
    ASSERT_EQ(rgb.size(), 18u + 4u * 4u * 3u);
    EXPECT_EQ(rgb[16], 24);
    EXPECT_EQ(rgb[17], 0);
}

TEST(TgaWriter, StoresBlueGreenRedAlphaWithTheBottomRowFirst)
{
    const Image image = gradientImage(2, 2);
    const std::vector<uint8_t> bytes = TgaWriter::encode(image, 32);
    // The file's first row is the image's bottom row (y = 1): GL takes it as t = 0.
    const std::vector<uint8_t> expected = {
        101, 51, 10, 201, 102, 51, 11, 201, // bottom row: x = 0, 1
        100, 50, 10, 200, 101, 50, 11, 200, // top row
    };
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 18, bytes.end()), expected);
}

TEST(TgaWriter, TwentyFourBitPixelsLeaveOutAlpha)
{
    const std::vector<uint8_t> bytes = TgaWriter::encode(gradientImage(2, 1), 24);
    const std::vector<uint8_t> expected = {100, 50, 10, 101, 50, 11};
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 18, bytes.end()), expected);
}
