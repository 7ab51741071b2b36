// Files for tests.
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

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

std::string writeTemporaryFile(const std::string& name, const std::vector<unsigned char>& bytes)
{
    const std::string path = ::testing::TempDir() + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    return path;
}

} // namespace testsupport
