// TGA bytes for tests.
#include "support/TestFiles.h"

#include <algorithm>

namespace testsupport {

std::vector<unsigned char> tgaBytes(int width, int height, int bits, const std::vector<unsigned char>& pixels)
{
    std::vector<unsigned char> file(18 + pixels.size(), 0);
    file[2] = 2; // uncompressed true colour
    file[12] = static_cast<unsigned char>(width & 0xFF);
    file[13] = static_cast<unsigned char>(width >> 8);
    file[14] = static_cast<unsigned char>(height & 0xFF);
    file[15] = static_cast<unsigned char>(height >> 8);
    file[16] = static_cast<unsigned char>(bits);
    std::copy(pixels.begin(), pixels.end(), file.begin() + 18);
    return file;
}

} // namespace testsupport
