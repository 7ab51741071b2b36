// The TGA reader: header checks, then the pixels converted to RGB(A). No GL.
#include "render/TgaReader.h"

#include <cerrno>
#include <cstring>
#include <new>
#include <utility>

namespace {

// No image ID, no colour map, image type 2 (uncompressed true colour), empty colour
// map specification, origin (0, 0).
constexpr unsigned char acceptedHeader[12] = { 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0 };

// Bytes left between the read position and the end, or -1 when the file can't tell.
long remainingBytes(std::FILE* file)
{
    const long here = std::ftell(file);
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0)
        return -1;
    const long end = std::ftell(file);
    std::fseek(file, here, SEEK_SET);
    return end < here ? -1 : end - here;
}

// Reads up to count bytes; fewer only at the end of the file or on a read error. An
// interrupted read carries on where it stopped.
size_t readBytes(std::FILE* file, void* out, size_t count)
{
    size_t got = 0;
    for (;;) {
        got += std::fread(static_cast<unsigned char*>(out) + got, 1, count - got, file);
        if (got == count || !std::ferror(file) || errno != EINTR)
            return got;
        std::clearerr(file);
    }
}

// Why a read stopped short.
std::string shortRead(std::FILE* file, const char* what)
{
    if (std::ferror(file))
        return std::string("cannot read ") + what + ": " + std::strerror(errno);
    return std::string("the file ends inside ") + what;
}

} // namespace

bool readTga(std::FILE* file, Texture& texture, uint32_t maxSide, std::string& reason)
{
    unsigned char header[12];
    if (readBytes(file, header, sizeof header) != sizeof header) {
        reason = shortRead(file, "the header");
        return false;
    }
    if (std::memcmp(header, acceptedHeader, sizeof header) != 0) {
        reason = "not an uncompressed true-colour TGA without image ID, colour map or origin offset";
        return false;
    }

    unsigned char info[6];
    if (readBytes(file, info, sizeof info) != sizeof info) {
        reason = shortRead(file, "the header");
        return false;
    }
    texture.width = info[0] + 256u * info[1];
    texture.height = info[2] + 256u * info[3];
    const std::string size = std::to_string(texture.width) + "x" + std::to_string(texture.height);
    if (texture.width == 0 || texture.height == 0) {
        reason = size + " pixels: nothing to show";
        return false;
    }
    if (info[4] != 24 && info[4] != 32) {
        reason = std::to_string(info[4]) + " bits per pixel, where 24 or 32 are taken";
        return false;
    }
    texture.bitsPerPixel = info[4];
    if (texture.width > maxSide || texture.height > maxSide) {
        reason = size + " pixels, more than the " + std::to_string(maxSide) + " a side the GL takes";
        return false;
    }

    const size_t bytesPerPixel = texture.bitsPerPixel / 8;
    const size_t bytes = size_t { texture.width } * texture.height * bytesPerPixel;
    // Refuse a header that promises more than the file holds before allocating for it.
    const long available = remainingBytes(file);
    if (available >= 0 && static_cast<unsigned long>(available) < bytes) {
        reason = size + " pixels need " + std::to_string(bytes) + " bytes, and the file holds "
            + std::to_string(available);
        return false;
    }

    std::unique_ptr<unsigned char[]> pixels(new (std::nothrow) unsigned char[bytes]);
    if (!pixels) {
        reason = "no memory for " + size + " pixels";
        return false;
    }
    if (readBytes(file, pixels.get(), bytes) != bytes) {
        texture.pixels.reset();
        reason = shortRead(file, "the pixels");
        return false;
    }
    for (size_t offset = 0; offset < bytes; offset += bytesPerPixel)
        std::swap(pixels[offset], pixels[offset + 2]); // BGR(A) to RGB(A)
    texture.pixels = std::move(pixels);
    return true;
}

bool readTga(std::FILE* file, Texture& texture)
{
    std::string reason;
    return readTga(file, texture, 0xFFFFu, reason);
}
