// The TGA reader's conversions and refusals.
#include "render/Texture.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

bool readBytes(const std::vector<unsigned char>& bytes, Texture& texture)
{
    std::FILE* file = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
    const bool read = readTga(file, texture);
    std::fclose(file);
    return read;
}

} // namespace

TEST(TgaReader, SwapsBlueAndRedAndKeepsAlpha)
{
    Texture rgb;
    ASSERT_TRUE(readBytes(testsupport::tgaBytes(1, 1, 24, {10, 20, 30}), rgb));
    EXPECT_EQ(rgb.bitsPerPixel, 24u);
    EXPECT_EQ(std::vector<unsigned char>(rgb.pixels.get(), rgb.pixels.get() + 3),
              (std::vector<unsigned char>{30, 20, 10}));

    Texture rgba;
    ASSERT_TRUE(readBytes(testsupport::tgaBytes(2, 1, 32, {10, 20, 30, 40, 1, 2, 3, 4}), rgba));
    EXPECT_EQ(std::vector<unsigned char>(rgba.pixels.get(), rgba.pixels.get() + 8),
              (std::vector<unsigned char>{30, 20, 10, 40, 3, 2, 1, 4}));
    EXPECT_EQ(rgba.width, 2u);
    EXPECT_EQ(rgba.height, 1u);
}

TEST(TgaReader, RefusesEveryOtherLayout)
{
    const std::vector<unsigned char> good = testsupport::tgaBytes(1, 1, 24, {1, 2, 3});
    struct Case {
        const char* what;
        size_t offset;
        unsigned char value;
    };
    const Case cases[] = {
        {"image ID", 0, 5},       {"colour map", 1, 1},          {"run-length true colour", 2, 10},
        {"colour-mapped", 2, 1},  {"grey scale", 2, 3},          {"colour-map spec", 5, 8},
        {"x origin", 8, 1},       {"y origin", 11, 1},           {"8 bits", 16, 8},
        {"16 bits", 16, 16},      {"zero width", 12, 0},         {"zero height", 14, 0},
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> bytes = good;
        bytes[c.offset] = c.value;
        Texture texture;
        EXPECT_FALSE(readBytes(bytes, texture)) << c.what;
        EXPECT_EQ(texture.pixels, nullptr) << c.what;
    }
    Texture truncatedHeader;
    EXPECT_FALSE(readBytes(std::vector<unsigned char>(good.begin(), good.begin() + 15), truncatedHeader));
}

TEST(TgaReader, KeepsTheSizeReadBeforeARefusal)
{
    Texture texture;
    std::vector<unsigned char> bytes = testsupport::tgaBytes(300, 2, 16, std::vector<unsigned char>(1200));
    EXPECT_FALSE(readBytes(bytes, texture));
    EXPECT_EQ(texture.width, 300u);
    EXPECT_EQ(texture.height, 2u);
    EXPECT_EQ(texture.bitsPerPixel, 0u);
}

TEST(TgaReader, RefusesPixelDataOneByteShort)
{
    Texture texture;
    EXPECT_FALSE(readBytes(testsupport::tgaBytes(2, 2, 24, std::vector<unsigned char>(11)), texture));
    EXPECT_EQ(texture.pixels, nullptr);
}

// A 4 KB file that claims 65535 x 65535 x 32 bits: refused without reserving 16 GB
// (under AddressSanitizer such an allocation would abort the test).
TEST(TgaReader, RefusesAHeaderPromisingMoreThanTheFileHolds)
{
    Texture texture;
    EXPECT_FALSE(readBytes(testsupport::tgaBytes(65535, 65535, 32, std::vector<unsigned char>(4096 - 18)), texture));
    EXPECT_EQ(texture.pixels, nullptr);
}

