// The generator as the build runs it: the same bytes on every run, pictures that
// the program's own reader accepts at their intended sizes, the preview and the icon.
#include "DataGenerator.h"

#include "render/Texture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> readFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

fs::path makeTemporaryFolder()
{
    std::string pattern = (fs::temp_directory_path() / "vorimel-datagen-XXXXXX").string();
    const char* made = mkdtemp(pattern.data());
    return made != nullptr ? fs::path(made) : fs::path();
}

bool runGenerator(const std::string& arguments)
{
    const std::string command = std::string("\"") + VORIMEL_DATAGEN + "\" " + arguments;
    return std::system(command.c_str()) == 0;
}

uint32_t bigEndian32(const std::vector<uint8_t>& b, size_t at)
{
    return (uint32_t { b[at] } << 24) | (uint32_t { b[at + 1] } << 16) | (uint32_t { b[at + 2] } << 8)
        | b[at + 3];
}

struct Expected {
    const char* name;
    uint32_t width;
    uint32_t height;
    uint32_t bits;
};

} // namespace

TEST(DataGenerator, WritesIdenticalBytesOnEveryRun)
{
    const fs::path first = makeTemporaryFolder();
    const fs::path second = makeTemporaryFolder();
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    ASSERT_TRUE(runGenerator("\"" + (first / "data").string() + "\""));
    ASSERT_TRUE(runGenerator("\"" + (second / "data").string() + "\""));
    for (const std::string& name : datagen::DataGenerator::fileNames()) {
        const std::vector<uint8_t> a = readFile(first / "data" / name);
        EXPECT_FALSE(a.empty()) << name;
        EXPECT_TRUE(a == readFile(second / "data" / name)) << name << " differs between runs";
    }
    fs::remove_all(first);
    fs::remove_all(second);
}

TEST(DataGenerator, FailsNamingTheFolderThatCannotBeCreated)
{
    const fs::path folder = makeTemporaryFolder();
    ASSERT_FALSE(folder.empty());
    std::ofstream(folder / "file") << "x";
    std::string error;
    EXPECT_FALSE(datagen::DataGenerator::writeAll((folder / "file" / "data").string(), error));
    EXPECT_NE(error.find("file"), std::string::npos) << error;
    fs::remove_all(folder);
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
        EXPECT_EQ(texture.width, e.width);
        EXPECT_EQ(texture.height, e.height);
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

TEST(GeneratedPictures, ThePreviewSheetAndTheIconArePngFiles)
{
    const fs::path folder = makeTemporaryFolder();
    ASSERT_FALSE(folder.empty());
    const fs::path sheet = folder / "sheet.png";
    const fs::path icon = folder / "icon.png";
    ASSERT_TRUE(runGenerator("--preview \"" + sheet.string() + "\" --icon \"" + icon.string() + "\""));
    const std::vector<uint8_t> signature = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    for (const fs::path& path : { sheet, icon }) {
        const std::vector<uint8_t> bytes = readFile(path);
        ASSERT_GT(bytes.size(), 33u) << path;
        EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 8), signature) << path;
    }
    const std::vector<uint8_t> header = readFile(icon);
    EXPECT_EQ(bigEndian32(header, 16), 256u);
    EXPECT_EQ(bigEndian32(header, 20), 256u);
    EXPECT_EQ(header[25], 6) << "RGBA";
    EXPECT_GE(bigEndian32(readFile(sheet), 16), 1280u) << "tiles at their on-screen width";
    EXPECT_FALSE(runGenerator("--preview")) << "an option without its file";
    fs::remove_all(folder);
}
