// The TGA reader's conversions and refusals.
#include "render/TgaReader.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Reads the bytes as a file held in memory; `where` gets the read position after the call.
bool readBytes(const std::vector<unsigned char>& bytes, Texture& texture, std::string& reason,
    uint32_t maxSide = 0xFFFF, long* where = nullptr)
{
    std::FILE* file = fmemopen(const_cast<unsigned char*>(bytes.data()), bytes.size(), "rb");
    if (!file) {
        ADD_FAILURE() << "fmemopen of " << bytes.size() << " bytes failed";
        return false;
    }
    const bool read = readTga(file, texture, maxSide, reason);
    if (where)
        *where = std::ftell(file);
    std::fclose(file);
    return read;
}

bool readBytes(const std::vector<unsigned char>& bytes, Texture& texture)
{
    std::string reason;
    const bool read = readBytes(bytes, texture, reason);
    EXPECT_EQ(read, reason.empty()) << "a refusal always has a reason, a success none: " << reason;
    return read;
}

} // namespace

TEST(TgaReader, SwapsBlueAndRedAndKeepsAlpha)
{
    Texture rgb;
    ASSERT_TRUE(readBytes(testsupport::tgaBytes(1, 1, 24, { 10, 20, 30 }), rgb));
    EXPECT_EQ(rgb.bitsPerPixel, 24u);
    EXPECT_EQ(std::vector<unsigned char>(rgb.pixels.get(), rgb.pixels.get() + 3),
        (std::vector<unsigned char> { 30, 20, 10 }));

    Texture rgba;
    ASSERT_TRUE(readBytes(testsupport::tgaBytes(2, 1, 32, { 10, 20, 30, 40, 1, 2, 3, 4 }), rgba));
    EXPECT_EQ(std::vector<unsigned char>(rgba.pixels.get(), rgba.pixels.get() + 8),
        (std::vector<unsigned char> { 30, 20, 10, 40, 3, 2, 1, 4 }));
    EXPECT_EQ(rgba.width, 2u);
    EXPECT_EQ(rgba.height, 1u);
}

TEST(TgaReader, RefusesEveryOtherLayout)
{
    const std::vector<unsigned char> good = testsupport::tgaBytes(1, 1, 24, { 1, 2, 3 });
    struct Case {
        const char* what;
        size_t offset;
        unsigned char value;
    };
    const Case cases[] = {
        // clang-format off
        {"image ID", 0, 5},       {"colour map", 1, 1},          {"run-length true colour", 2, 10},
        {"colour-mapped", 2, 1},  {"grey scale", 2, 3},          {"colour-map spec", 5, 8},
        {"x origin", 8, 1},       {"y origin", 11, 1},           {"8 bits", 16, 8},
        {"16 bits", 16, 16},      {"zero width", 12, 0},         {"zero height", 14, 0},
        // clang-format on
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
    EXPECT_FALSE(
        readBytes(testsupport::tgaBytes(65535, 65535, 32, std::vector<unsigned char>(4096 - 18)), texture));
    EXPECT_EQ(texture.pixels, nullptr);
}

// The pixels of a picture the GL cannot take are never read: the header is all that
// is looked at, whatever the file holds.
TEST(TgaReader, RefusesASideOverTheLimitBeforeReadingThePixels)
{
    const auto fiveByThree = testsupport::tgaBytes(5, 3, 24, std::vector<unsigned char>(45, 9));
    const auto threeByFive = testsupport::tgaBytes(3, 5, 32, std::vector<unsigned char>(60, 9));
    for (const auto* bytes : { &fiveByThree, &threeByFive }) {
        Texture texture;
        std::string reason;
        long where = 0;
        EXPECT_FALSE(readBytes(*bytes, texture, reason, 4, &where));
        EXPECT_EQ(where, 18);
        EXPECT_EQ(texture.pixels, nullptr);
        EXPECT_NE(reason.find("more than the 4 a side"), std::string::npos) << reason;

        Texture fits;
        EXPECT_TRUE(readBytes(*bytes, fits, reason, 5, &where)) << reason;
        EXPECT_EQ(where, static_cast<long>(bytes->size()));
    }
}
