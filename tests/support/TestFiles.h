// TGA bytes of the layout the reader accepts, for tests that write pictures.
#pragma once

#include <vector>

namespace testsupport {

// An uncompressed true-colour TGA: the fixed header, size, bits, then the pixel bytes.
std::vector<unsigned char> tgaBytes(
    int width, int height, int bits, const std::vector<unsigned char>& pixels);

} // namespace testsupport
