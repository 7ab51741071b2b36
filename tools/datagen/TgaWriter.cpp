// TGA encoding and file output.
#include "TgaWriter.h"

#include "FileBytes.h"

#include <cassert>

namespace datagen {

namespace {

constexpr uint8_t fixedHeader[12] = { 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0 };
constexpr uint8_t alphaBitsDescriptor = 8; // low nibble: alpha bits; bit 5 clear: bottom row first

} // namespace

std::vector<uint8_t> TgaWriter::encode(const Image& image, int bitsPerPixel)
{
    assert((bitsPerPixel == 24 || bitsPerPixel == 32) && "TGA pictures are 24 or 32 bits");
    assert(image.width > 0 && image.width <= 0xFFFF && image.height > 0 && image.height <= 0xFFFF
        && "TGA sizes are 16-bit and non-zero");
    const size_t bytesPerPixel = static_cast<size_t>(bitsPerPixel) / 8;
    std::vector<uint8_t> out(fixedHeader, fixedHeader + sizeof fixedHeader);
    out.reserve(18 + static_cast<size_t>(image.width) * image.height * bytesPerPixel);
    out.push_back(static_cast<uint8_t>(image.width & 0xFF));
    out.push_back(static_cast<uint8_t>(image.width >> 8));
    out.push_back(static_cast<uint8_t>(image.height & 0xFF));
    out.push_back(static_cast<uint8_t>(image.height >> 8));
    out.push_back(static_cast<uint8_t>(bitsPerPixel));
    out.push_back(bitsPerPixel == 32 ? alphaBitsDescriptor : 0);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* p = image.pixel(x, y);
            out.push_back(p[2]);
            out.push_back(p[1]);
            out.push_back(p[0]);
            if (bitsPerPixel == 32)
                out.push_back(p[3]);
        }
    }
    return out;
}

bool TgaWriter::write(const std::string& path, const Image& image, int bitsPerPixel)
{
    return writeFileBytes(path, encode(image, bitsPerPixel));
}

} // namespace datagen
