// The generator as the build runs it: the same bytes on every run, and pictures that
// the program's own reader accepts at their intended sizes.
#include "DataGenerator.h"

#include "render/TgaReader.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> readFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

struct Expected {
    const char* name;
    uint32_t width;
    uint32_t height;
    uint32_t bits;
};

} // namespace

TEST(DataGenerator, WritesExactlyTheListedFilesWithIdenticalBytesOnEveryRun)
{
    const testsupport::TestFolder files;
    const fs::path folder = files.path();
    for (const char* run : { "first", "second" }) {
        const std::string command
            = std::string("\"") + VORIMEL_DATAGEN + "\" \"" + (folder / run).string() + "\"";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    // a file written but not listed would be left out of the build's outputs
    std::set<std::string> written;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder / "first"))
        written.insert(entry.path().filename().string());
    const std::vector<std::string> listed = datagen::DataGenerator::fileNames();
    EXPECT_EQ(written, std::set<std::string>(listed.begin(), listed.end()));
    for (const std::string& name : listed) {
        const std::vector<uint8_t> first = readFile(folder / "first" / name);
        EXPECT_FALSE(first.empty()) << name;
        EXPECT_TRUE(first == readFile(folder / "second" / name)) << name << " differs between runs";
    }
}

TEST(GeneratedPictures, TheProgramReadsEachAtItsSizeWithAlphaWhereItIsBlended)
{
    // Lower-half pictures are 640 x 240 on screen, the closing ones 512 x 480.
    const std::vector<Expected> pictures = {
        { "vorimel.tga", 512, 256, 32 },
        { "diagonales.tga", 512, 512, 32 },
        { "cosa00d.tga", 512, 256, 32 },
        { "cosa00d2.tga", 512, 256, 32 },
        { "cosa00e01.tga", 512, 256, 32 },
        { "cosa01b.tga", 512, 256, 32 },
        { "cosa02b.tga", 512, 256, 32 },
        { "cosa03.tga", 256, 256, 24 },
        { "cosa03c.tga", 512, 256, 32 },
        { "cosa04d1.tga", 512, 512, 32 },
        { "cosa05b1.tga", 512, 512, 32 },
        { "flare2.tga", 256, 256, 32 },
    };
    ASSERT_EQ(pictures.size() + 1, datagen::DataGenerator::fileNames().size()) << "every picture is checked";
    for (const Expected& e : pictures) {
        SCOPED_TRACE(e.name);
        std::FILE* file = std::fopen((std::string("data/") + e.name).c_str(), "rb");
        ASSERT_NE(file, nullptr) << "run from the build folder";
        Texture texture;
        const bool read = readTga(file, texture);
        std::fclose(file);
        ASSERT_TRUE(read);
        ASSERT_EQ(texture.width, e.width);
        ASSERT_EQ(texture.height, e.height);
        ASSERT_EQ(texture.bitsPerPixel, e.bits);
        if (e.bits == 24)
            continue;
        // Alpha covers part of the picture: neither nothing nor everything.
        size_t seen = 0;
        size_t solid = 0;
        const size_t pixels = size_t { e.width } * e.height;
        for (size_t i = 0; i < pixels; ++i) {
            const unsigned char a = texture.pixels[i * 4 + 3];
            seen += a > 8 ? 1 : 0;
            solid += a == 255 ? 1 : 0;
        }
        EXPECT_GT(seen, pixels / 50) << "nearly empty";
        EXPECT_LT(solid, pixels * 9 / 10) << "nearly opaque";
    }
}
