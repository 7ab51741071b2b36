// The TGA writer, read back by the program's own TGA reader.
#include "TgaWriter.h"

#include "render/Texture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <vector>

using datagen::Image;
using datagen::TgaWriter;

namespace {

// Red grows to the right, green downwards; alpha differs per row.
Image gradientImage(int width, int height)
{
    Image image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = image.pixel(x, y);
            p[0] = static_cast<uint8_t>(10 + x);
            p[1] = static_cast<uint8_t>(50 + y);
            p[2] = static_cast<uint8_t>(100 + x + y);
            p[3] = static_cast<uint8_t>(200 + y);
        }
    }
    return image;
}

bool readBack(const std::vector<uint8_t>& bytes, Texture& texture)
{
    std::FILE* file = std::tmpfile();
    if (file == nullptr)
        return false;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
    const bool ok = readTga(file, texture);
    std::fclose(file);
    return ok;
}

} // namespace

TEST(TgaWriter, TheProgramReadsBackEveryPixelWithTheBottomRowFirst)
{
    for (int bits : { 24, 32 }) {
        SCOPED_TRACE(bits);
        const Image image = gradientImage(300, 3);
        Texture texture;
        ASSERT_TRUE(readBack(TgaWriter::encode(image, bits), texture));
        ASSERT_EQ(texture.width, 300u);
        ASSERT_EQ(texture.height, 3u);
        ASSERT_EQ(texture.bitsPerPixel, static_cast<uint32_t>(bits));
        const size_t channels = static_cast<size_t>(bits) / 8;
        // The reader's first row is GL's t = 0, the bottom of the picture as shown.
        for (uint32_t row = 0; row < 3; ++row) {
            for (uint32_t x = 0; x < 300; x += 37) {
                const uint8_t* expected = image.pixel(static_cast<int>(x), static_cast<int>(2 - row));
                const unsigned char* got = &texture.pixels[(row * 300 + x) * channels];
                for (size_t c = 0; c < channels; ++c)
                    ASSERT_EQ(got[c], expected[c]) << "row " << row << " x " << x << " channel " << c;
            }
        }
    }
}

TEST(TgaWriter, ThirtyTwoBitFilesAnnounceTheirAlphaBits)
{
    const std::vector<uint8_t> bytes = TgaWriter::encode(gradientImage(2, 2), 32);
    EXPECT_EQ(bytes[17] & 0x0F, 8);
    EXPECT_EQ(bytes[17] & 0x20, 0) << "bottom row first";
    EXPECT_EQ(TgaWriter::encode(gradientImage(2, 2), 24)[17], 0);
}
