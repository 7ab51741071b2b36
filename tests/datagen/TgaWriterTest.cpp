// The TGA writer, read back by the program's own TGA reader.
#include "TgaWriter.h"

#include "render/TgaReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <vector>

using datagen::Image;
using datagen::TgaWriter;

TEST(TgaWriter, TheProgramReadsBackEveryPixelWithTheBottomRowFirst)
{
    // every channel of every pixel differs, so a swapped channel or row shows
    constexpr int width = 5;
    constexpr int height = 3;
    Image image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 4; ++c)
                image.pixel(x, y)[c] = static_cast<uint8_t>(60 * c + 5 * y + x);
    for (int bits : { 24, 32 }) {
        SCOPED_TRACE(bits);
        const std::vector<uint8_t> bytes = TgaWriter::encode(image, bits);
        EXPECT_EQ(bytes[17], bits == 32 ? 8 : 0) << "alpha bits; bit 5 clear: bottom row first";
        std::FILE* file = fmemopen(const_cast<uint8_t*>(bytes.data()), bytes.size(), "rb");
        ASSERT_NE(file, nullptr);
        Texture texture;
        ASSERT_TRUE(readTga(file, texture));
        std::fclose(file);
        ASSERT_EQ(texture.width, unsigned { width });
        ASSERT_EQ(texture.height, unsigned { height });
        ASSERT_EQ(texture.bitsPerPixel, static_cast<uint32_t>(bits));
        // The reader's first row is GL's t = 0, the bottom of the picture as shown.
        const int channels = bits / 8;
        for (int row = 0; row < height; ++row)
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < channels; ++c)
                    ASSERT_EQ(
                        texture.pixels[(row * width + x) * channels + c], image.pixel(x, height - 1 - row)[c])
                        << "row " << row << " x " << x << " channel " << c;
    }
}
