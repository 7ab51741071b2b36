// PNG files of 8-bit RGB or RGBA pixels, through libpng.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace png {

struct Image {
    int width = 0;
    int height = 0;
    int channels = 3; // 3: RGB, 4: RGBA
    const uint8_t* pixels = nullptr;
    size_t stride = 0;     // bytes from one row to the next; 0: width * channels
    bool bottomUp = false; // rows stored bottom first, as GL reads them
};

// Writes the image; compression 0 (fastest) to 9 (smallest). False when the file
// can't be written completely. fastRows: every row takes the "up" filter and Huffman
// codes only, no match search; about three times faster than compression 1 with the
// filter chosen per row, at a similar size on the demo's frames. Compression 0 stores
// the rows as they are, unfiltered: a filter only costs time when nothing is compressed.
bool writePng(const std::string& path, const Image& image, int compression = 6, bool fastRows = false);

// The same file's bytes in memory, replacing out's contents; false when the image
// can't be encoded.
bool encodePng(const Image& image, std::vector<uint8_t>& out, int compression = 6, bool fastRows = false);

} // namespace png
