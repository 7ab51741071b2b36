// PNG output through libpng, to a file or to memory.
#include "PngWriter.h"

#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <new>

namespace png {

namespace {

bool validImage(const Image& image)
{
    return image.width > 0 && image.height > 0 && image.pixels
        && (image.channels == 3 || image.channels == 4);
}

// Encodes the image through a writer whose output is already set up. Owns the writer
// and its info from here on.
void encode(png_structp writer, png_infop info, const Image& image, int compression, bool fastRows)
{
    png_set_compression_level(writer, compression);
    if (compression == 0) {
        png_set_filter(writer, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    } else if (fastRows) {
        png_set_filter(writer, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
        png_set_compression_strategy(writer, Z_HUFFMAN_ONLY);
    }
    png_set_IHDR(writer, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height),
        8, image.channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
        PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(writer, info);
    const size_t stride = image.stride ? image.stride : static_cast<size_t>(image.width) * image.channels;
    for (int y = 0; y < image.height; ++y) {
        const int row = image.bottomUp ? image.height - 1 - y : y;
        png_write_row(writer, image.pixels + static_cast<size_t>(row) * stride);
    }
    png_write_end(writer, nullptr);
    png_destroy_write_struct(&writer, &info);
}

void appendBytes(png_structp writer, png_bytep data, png_size_t size)
{
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(writer));
    bool appended = true;
    try {
        out->insert(out->end(), data, data + size);
    } catch (const std::bad_alloc&) {
        appended = false; // no exception may cross libpng's C frames
    }
    if (!appended)
        png_error(writer, "out of memory");
}

void noFlush(png_structp)
{
}

} // namespace

bool writePng(const std::string& path, const Image& image, int compression, bool fastRows)
{
    if (!validImage(image))
        return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = writer ? png_create_info_struct(writer) : nullptr;
    if (!writer || !info || setjmp(png_jmpbuf(writer))) {
        png_destroy_write_struct(&writer, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(writer, file);
    encode(writer, info, image, compression, fastRows);
    return std::fclose(file) == 0;
}

bool encodePng(const Image& image, std::vector<uint8_t>& out, int compression, bool fastRows)
{
    out.clear();
    if (!validImage(image))
        return false;
    // room for the rows stored as they are, so that the output rarely grows
    const size_t rowBytes = static_cast<size_t>(image.width) * image.channels + 1;
    try {
        out.reserve(rowBytes * image.height + rowBytes * image.height / 64 + 1024);
    } catch (const std::bad_alloc&) {
        return false;
    }
    png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = writer ? png_create_info_struct(writer) : nullptr;
    if (!writer || !info || setjmp(png_jmpbuf(writer))) {
        png_destroy_write_struct(&writer, &info);
        out.clear();
        return false;
    }
    png_set_write_fn(writer, &out, appendBytes, noFlush);
    encode(writer, info, image, compression, fastRows);
    return true;
}

} // namespace png
