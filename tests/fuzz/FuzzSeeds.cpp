// Writes the fuzzers' starting corpora: tiny TGA pictures of every accepted kind, so
// that each execution is short, and small modules from the test module writer.
// Usage: fuzz_seeds TGA_FOLDER MODULE_FOLDER (both must exist).
#include "support/TestModule.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// An uncompressed true-colour TGA with a gradient, so that the colour swap shows.
std::vector<uint8_t> tga(int width, int height, int bits)
{
    std::vector<uint8_t> bytes = { 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0 };
    bytes.push_back(static_cast<uint8_t>(width));
    bytes.push_back(static_cast<uint8_t>(width >> 8));
    bytes.push_back(static_cast<uint8_t>(height));
    bytes.push_back(static_cast<uint8_t>(height >> 8));
    bytes.push_back(static_cast<uint8_t>(bits));
    bytes.push_back(bits == 32 ? 8 : 0); // alpha bits in the descriptor, which is not looked at
    const int count = width * height * bits / 8;
    for (int i = 0; i < count; ++i)
        bytes.push_back(static_cast<uint8_t>(i * 37));
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: fuzz_seeds TGA_FOLDER MODULE_FOLDER\n");
        return 1;
    }
    const std::string pictures = argv[1];
    const std::string modules = argv[2];
    bool written = true;

    // widths 1, 3 and 5 are no multiple of 4: their 24-bit rows are not 4-byte aligned
    const int sizes[][2] = { { 1, 1 }, { 3, 5 }, { 5, 3 }, { 8, 8 }, { 16, 16 } };
    for (const auto& size : sizes) {
        for (const int bits : { 24, 32 }) {
            const std::string name = std::to_string(size[0]) + "x" + std::to_string(size[1]) + "x"
                + std::to_string(bits) + ".tga";
            written = writeFile(pictures + "/" + name, tga(size[0], size[1], bits)) && written;
        }
    }

    using testing_support::TestModuleLayout;
    const TestModuleLayout layouts[] = {
        { 4, 32, 6, 125, true },  // the default: four orders of 32 rows
        { 1, 1, 1, 255, true },   // one order of one row, as short as a row gets
        { 6, 64, 3, 200, false }, // silent, fast
        { 2, 200, 31, 32, true }, // the longest rows IT allows, slowly
    };
    int index = 0;
    for (const TestModuleLayout& layout : layouts) {
        const std::string name = "test" + std::to_string(index++) + ".it";
        written = writeFile(modules + "/" + name, testing_support::makeTestModule(layout)) && written;
    }
    if (!written) {
        std::perror("fuzz_seeds");
        return 1;
    }
    return 0;
}
