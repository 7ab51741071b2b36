// PNG frames in memory read back by libpng pixel for pixel, at every setting the
// capture and the data generator use, whichever way up and however padded the rows.
#include "PngWriter.h"

#include <png.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Decoded {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels; // top row first, no padding
};

bool decode(const std::vector<uint8_t>& file, int channels, Decoded& out)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size()))
        return false;
    image.format = channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    out.pixels.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, out.pixels.data(), 0, nullptr) != 0;
}

// Noise with runs of black, like a frame with trails: filters and matches both matter.
std::vector<uint8_t> somePixels(size_t bytes)
{
    std::vector<uint8_t> pixels(bytes);
    uint32_t state = 12345;
    for (size_t i = 0; i < bytes; ++i) {
        state = state * 1664525u + 1013904223u;
        pixels[i] = (i / 97) % 3 == 0 ? 0 : static_cast<uint8_t>(state >> 24);
    }
    return pixels;
}

TEST(PngWriter, EverySettingDecodesToThePixelsGivenTheRightWayUp)
{
    constexpr int width = 37;
    constexpr int height = 23;
    const struct {
        int compression;
        bool fastRows;
    } settings[] = { { 0, false }, { 0, true }, { 1, true }, { 6, false }, { 9, false } };
    for (const int channels : { 3, 4 }) {
        for (const size_t padding : { 0, 5 }) {
            const size_t stride = static_cast<size_t>(width) * channels + padding;
            const std::vector<uint8_t> stored = somePixels(stride * height);
            for (const bool bottomUp : { false, true }) {
                // what the image shows, top row first
                std::vector<uint8_t> expected;
                for (int y = 0; y < height; ++y) {
                    const uint8_t* row
                        = stored.data() + stride * static_cast<size_t>(bottomUp ? height - 1 - y : y);
                    expected.insert(expected.end(), row, row + static_cast<size_t>(width) * channels);
                }
                const png::Image image { width, height, channels, stored.data(), padding ? stride : 0,
                    bottomUp };
                for (const auto& setting : settings) {
                    const std::string what = std::to_string(channels) + " channels, padding "
                        + std::to_string(padding) + (bottomUp ? ", bottom up" : "") + ", level "
                        + std::to_string(setting.compression) + (setting.fastRows ? " fast" : "");
                    std::vector<uint8_t> file { 1, 2, 3 }; // replaced, not appended to
                    ASSERT_TRUE(png::encodePng(image, file, setting.compression, setting.fastRows)) << what;
                    Decoded decoded;
                    ASSERT_TRUE(decode(file, channels, decoded)) << what;
                    EXPECT_EQ(decoded.width, width) << what;
                    EXPECT_EQ(decoded.height, height) << what;
                    EXPECT_TRUE(decoded.pixels == expected) << what;
                }
            }
        }
    }
}

TEST(PngWriter, RefusesAnImageItCannotEncode)
{
    const std::vector<uint8_t> pixels(64, 7);
    const png::Image images[] = {
        { 0, 4, 3, pixels.data(), 0, false },
        { 4, 4, 3, nullptr, 0, false },
        { 4, 4, 2, pixels.data(), 0, false },
    };
    for (const png::Image& image : images) {
        std::vector<uint8_t> file { 1 };
        EXPECT_FALSE(png::encodePng(image, file));
        EXPECT_TRUE(file.empty()) << "no stale bytes that could be written as a frame";
    }
}

} // namespace
