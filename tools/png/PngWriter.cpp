// PNG output through libpng.
#include "PngWriter.h"

#include <png.h>
#include <zlib.h>

#include <cstdio>

namespace png {

bool writePng(const std::string& path, const Image& image, int compression, bool fastRows)
{
    if (image.width <= 0 || image.height <= 0 || !image.pixels
        || (image.channels != 3 && image.channels != 4))
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
    png_set_compression_level(writer, compression);
    if (fastRows) {
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
    return std::fclose(file) == 0;
}

} // namespace png
