// The TGA reader and texture upload, with the progress lines on standard output.
#include "render/Texture.h"

#include <cstring>
#include <new>
#include <utility>

namespace {

// No image ID, no colour map, image type 2 (uncompressed true colour), empty colour
// map specification, origin (0, 0).
constexpr unsigned char acceptedHeader[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};

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

} // namespace

bool readTga(std::FILE* file, Texture& texture)
{
    unsigned char header[12];
    if (std::fread(header, 1, sizeof header, file) != sizeof header
        || std::memcmp(header, acceptedHeader, sizeof header) != 0)
        return false;

    unsigned char info[6];
    if (std::fread(info, 1, sizeof info, file) != sizeof info)
        return false;
    texture.width = info[0] + 256u * info[1];
    texture.height = info[2] + 256u * info[3];
    if (texture.width == 0 || texture.height == 0)
        return false;
    if (info[4] != 24 && info[4] != 32)
        return false;
    texture.bitsPerPixel = info[4];

    const size_t bytesPerPixel = texture.bitsPerPixel / 8;
    const size_t size = size_t{texture.width} * texture.height * bytesPerPixel;
    // Refuse a header that promises more than the file holds before allocating for it.
    const long available = remainingBytes(file);
    if (available >= 0 && static_cast<unsigned long>(available) < size)
        return false;

    std::unique_ptr<unsigned char[]> pixels(new (std::nothrow) unsigned char[size]);
    if (!pixels)
        return false;
    if (std::fread(pixels.get(), 1, size, file) != size) {
        texture.pixels.reset();
        return false;
    }
    for (size_t offset = 0; offset < size; offset += bytesPerPixel)
        std::swap(pixels[offset], pixels[offset + 2]); // BGR(A) to RGB(A)
    texture.pixels = std::move(pixels);
    return true;
}

bool loadTexture(Texture& texture, const char* path)
{
    std::FILE* file = std::fopen(path, "rb");
    // The line stays open on failure: the next message continues it.
    std::printf("Loading texture %s", path);
    std::fflush(stdout);
    if (!file)
        return false;
    const bool read = readTga(file, texture);
    std::fclose(file);
    if (!read)
        return false;

    glGenTextures(1, &texture.glName);
    glBindTexture(GL_TEXTURE_2D, texture.glName);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    const GLenum format = texture.bitsPerPixel == 24 ? GL_RGB : GL_RGBA;
    // Rows are tightly packed; GL's default 4-byte row alignment would read past the
    // end of a 24-bit picture whose width is not a multiple of four.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), static_cast<GLsizei>(texture.width),
                 static_cast<GLsizei>(texture.height), 0, format, GL_UNSIGNED_BYTE, texture.pixels.get());
    glPopClientAttrib();

    std::printf("-> ok\n");
    std::fflush(stdout);
    return true;
}
