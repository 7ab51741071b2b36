// Writes pictures as uncompressed true-colour TGA files, the one layout the demo reads.
#pragma once

#include "Image.h"

#include <cstdint>
#include <string>
#include <vector>

namespace datagen {

class TgaWriter {
public:
    // The file bytes: the 12 fixed header bytes (image type 2, no ID, no colour map,
    // origin 0,0), width, height, bits per pixel (24 or 32), descriptor, then the
    // pixels as B,G,R(,A). The bottom row of image comes first, because the reader
    // uploads the first file row as texture row t = 0.
    static std::vector<uint8_t> encode(const Image& image, int bitsPerPixel);

    // encode, written to path; false when the file cannot be written.
    static bool write(const std::string& path, const Image& image, int bitsPerPixel);
};

} // namespace datagen
