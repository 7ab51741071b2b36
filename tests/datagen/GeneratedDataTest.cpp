// The generator as the build runs it: the same bytes on every run, and pictures
// of the layout and sizes the demo expects.
#include "DataGenerator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <utility>
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

bool runGenerator(const fs::path& folder)
{
    const std::string command = std::string("\"") + VORIMEL_DATAGEN + "\" \"" + folder.string() + "\"";
    return std::system(command.c_str()) == 0;
}

bool isPowerOfTwo(int v)
{
    return v > 0 && (v & (v - 1)) == 0;
}

} // namespace

TEST(DataGenerator, WritesIdenticalBytesOnEveryRun)
{
    const fs::path first = makeTemporaryFolder();
    const fs::path second = makeTemporaryFolder();
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    ASSERT_TRUE(runGenerator(first / "data"));
    ASSERT_TRUE(runGenerator(second / "data"));
    for (const std::string& name : datagen::DataGenerator::fileNames()) {
        const std::vector<uint8_t> a = readFile(first / "data" / name);
        const std::vector<uint8_t> b = readFile(second / "data" / name);
        EXPECT_FALSE(a.empty()) << name;
        EXPECT_TRUE(a == b) << name << " differs between runs";
    }
    fs::remove_all(first);
    fs::remove_all(second);
}

TEST(DataGenerator, FailsWhenTheFolderCannotBeCreated)
{
    const fs::path folder = makeTemporaryFolder();
    ASSERT_FALSE(folder.empty());
    std::ofstream(folder / "file") << "x";
    std::string error;
    EXPECT_FALSE(datagen::DataGenerator::writeAll((folder / "file" / "data").string(), error));
    EXPECT_NE(error.find("file"), std::string::npos) << error;
    fs::remove_all(folder);
}

TEST(GeneratedPictures, EveryPictureHasTheAcceptedLayoutAndItsSize)
{
    const std::map<std::string, std::pair<int, int>> sizes = {
        {"vorimel.tga", {512, 256}},
        {"diagonales.tga", {256, 256}},
        {"cosa00d.tga", {512, 256}},
        {"cosa00d2.tga", {512, 256}},
        {"cosa00e01.tga", {512, 256}},
        {"cosa01b.tga", {512, 256}},
        {"cosa02b.tga", {512, 256}},
        {"cosa03.tga", {256, 256}},
        {"cosa03c.tga", {512, 256}},
        {"cosa04d1.tga", {512, 512}},
        {"cosa05b1.tga", {512, 512}},
        {"flare2.tga", {256, 256}},
    };
    const std::vector<uint8_t> fixed = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (const auto& [name, size] : sizes) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> bytes = readFile(fs::path("data") / name);
        ASSERT_GE(bytes.size(), 18u) << "run from the build folder";
        EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 12), fixed);
        const int width = bytes[12] | (bytes[13] << 8);
        const int height = bytes[14] | (bytes[15] << 8);
        const int bits = bytes[16];
        EXPECT_TRUE(isPowerOfTwo(width) && isPowerOfTwo(height));
        EXPECT_EQ(width, size.first);
        EXPECT_EQ(height, size.second);
        ASSERT_TRUE(bits == 24 || bits == 32);
        if (name != "cosa03.tga" && name != "flare2.tga") {
            EXPECT_EQ(bits, 32) << "blended pictures carry alpha";
        }
        ASSERT_EQ(bytes.size(), 18u + static_cast<size_t>(width) * height * (bits / 8));
        if (bits == 32) {
            bool anyVisible = false;
            bool anyTranslucent = false;
            for (size_t i = 18 + 3; i < bytes.size(); i += 4) {
                anyVisible |= bytes[i] != 0;
                anyTranslucent |= bytes[i] != 255;
            }
            EXPECT_TRUE(anyVisible) << "alpha all 0";
            EXPECT_TRUE(anyTranslucent) << "alpha all 255";
        }
    }
    EXPECT_EQ(sizes.size() + 1, datagen::DataGenerator::fileNames().size()) << "every picture is checked";
}
