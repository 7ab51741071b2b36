// Shrinking the icon: each pixel is the alpha-weighted mean of the area it covers,
// partly covered source pixels counted by their share.
#include "ImageScaling.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

using namespace datagen;

namespace {

Image filled(int width, int height, std::array<uint8_t, 4> rgba)
{
    Image image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 4; ++c)
                image.pixel(x, y)[c] = rgba[static_cast<size_t>(c)];
    return image;
}

std::array<int, 4> at(const Image& image, int x, int y)
{
    const uint8_t* p = image.pixel(x, y);
    return { p[0], p[1], p[2], p[3] };
}

} // namespace

TEST(ImageScaling, WholeBlocksAverageAndTransparencyDoesNotDarken)
{
    Image source = filled(2, 2, { 0, 0, 0, 0 });
    for (uint8_t* p : { source.pixel(0, 0), source.pixel(1, 1) }) {
        p[0] = 200;
        p[1] = 100;
        p[2] = 50;
        p[3] = 255;
    }
    // two opaque and two clear (black) pixels: half the cover, the opaque pixels' colour
    EXPECT_EQ(at(scaleDown(source, 1, 1), 0, 0), (std::array<int, 4> { 200, 100, 50, 128 }));

    source.pixel(1, 1)[3] = 85; // a third as opaque: colours weighted 3 : 1
    source.pixel(1, 1)[0] = 0;
    EXPECT_EQ(at(scaleDown(source, 1, 1), 0, 0)[0], 150);
    EXPECT_EQ(at(scaleDown(source, 1, 1), 0, 0)[3], 85);
}

TEST(ImageScaling, FullyClearAreaKeepsTheMatteColour)
{
    const Image scaled = scaleDown(filled(4, 4, { 30, 20, 60, 0 }), 2, 2);
    EXPECT_EQ(at(scaled, 1, 1), (std::array<int, 4> { 30, 20, 60, 0 }));
}

// 3 pixels into 2: the middle one counts half for each side.
TEST(ImageScaling, FractionalCoverSharesTheMiddlePixel)
{
    Image source = filled(3, 1, { 0, 0, 0, 255 });
    source.pixel(0, 0)[0] = 90;
    source.pixel(1, 0)[0] = 30;
    source.pixel(2, 0)[0] = 0;
    const Image scaled = scaleDown(source, 2, 1);
    EXPECT_EQ(at(scaled, 0, 0), (std::array<int, 4> { 70, 0, 0, 255 })) << "(2 * 90 + 30) / 3";
    EXPECT_EQ(at(scaled, 1, 0), (std::array<int, 4> { 10, 0, 0, 255 })) << "(30 + 2 * 0) / 3";
}

// The icon's smallest sizes come from 256: a uniform image stays uniform, to the edge.
TEST(ImageScaling, UniformImageStaysUniformAtEveryIconSize)
{
    const Image source = filled(256, 256, { 12, 34, 56, 200 });
    for (const int size : { 16, 22, 24, 48, 128 }) {
        const Image scaled = scaleDown(source, size, size);
        ASSERT_EQ(scaled.width, size);
        ASSERT_EQ(scaled.height, size);
        for (const auto& corner : { at(scaled, 0, 0), at(scaled, size - 1, size - 1) })
            EXPECT_EQ(corner, (std::array<int, 4> { 12, 34, 56, 200 })) << size;
    }
}
