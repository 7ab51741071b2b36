// The data folder: ./data/ in the working folder wins, the installed copy stands in
// where there is none, and only names under data/ are ever redirected.
#include "platform/DataFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using platform::dataFilePath;
using platform::installedDataFolder;

TEST(DataFolder, InstalledFolderIsFoundFromTheProgramsFolder)
{
    EXPECT_EQ(installedDataFolder("/usr/games/vorimel", "../share/games/vorimel/data"),
        "/usr/share/games/vorimel/data");
    EXPECT_EQ(installedDataFolder("/home/ann/.local/bin/vorimel-capture", "../share/vorimel/data"),
        "/home/ann/.local/share/vorimel/data");
    EXPECT_EQ(installedDataFolder("/opt/v/vorimel", "data"), "/opt/v/data") << "data beside the program";
    EXPECT_EQ(installedDataFolder("/usr/games/vorimel", ""), "") << "a build without an installed layout";
    EXPECT_EQ(installedDataFolder("", "../share/games/vorimel/data"), "") << "the program's file unknown";
}

// Each test runs in a folder of its own, with an installed data folder beside it.
class DataFolderChoice : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous = fs::current_path();
        root = fs::path(::testing::TempDir()) / ("data_folder_" + std::to_string(getpid()));
        fs::remove_all(root);
        installed = root / "share" / "games" / "vorimel" / "data";
        fs::create_directories(installed);
        fs::create_directories(root / "work");
        fs::current_path(root / "work");
    }
    void TearDown() override
    {
        fs::current_path(previous);
        fs::remove_all(root);
    }

    fs::path previous;
    fs::path root;
    fs::path installed;
};

TEST_F(DataFolderChoice, WorkingFolderWithoutDataReadsTheInstalledCopy)
{
    EXPECT_EQ(dataFilePath("./data/cosa03.tga", installed.string()), (installed / "cosa03.tga").string());
    EXPECT_EQ(dataFilePath("data/mordel.it", installed.string()), (installed / "mordel.it").string());
    EXPECT_EQ(
        dataFilePath("./data//sub/./x.tga", installed.string()), (installed / "sub" / "x.tga").string());

    // a file called data is no data folder
    {
        std::FILE* file = std::fopen("data", "w");
        ASSERT_NE(file, nullptr);
        std::fclose(file);
    }
    EXPECT_EQ(dataFilePath("./data/cosa03.tga", installed.string()), (installed / "cosa03.tga").string());
}

TEST_F(DataFolderChoice, WorkingFoldersDataWinsEvenWhereItLacksTheFile)
{
    fs::create_directory("data");
    EXPECT_EQ(dataFilePath("./data/cosa03.tga", installed.string()), "./data/cosa03.tga");
    EXPECT_EQ(dataFilePath("./data/mordel.it", installed.string()), "./data/mordel.it")
        << "a build folder's missing module must be reported as missing there";

    fs::remove("data");
    fs::create_directory_symlink(installed, "data");
    EXPECT_EQ(dataFilePath("./data/mordel.it", installed.string()), "./data/mordel.it")
        << "a link to a folder is a data folder";
}

// Where there is nothing installed (a program run from its build tree), names stay as
// they are, so its messages read as they always have.
TEST_F(DataFolderChoice, WithoutAnInstalledFolderNamesStayAsTheyAre)
{
    EXPECT_EQ(dataFilePath("./data/mordel.it", (root / "nowhere").string()), "./data/mordel.it");
    EXPECT_EQ(dataFilePath("./data/mordel.it", ""), "./data/mordel.it");
}

TEST_F(DataFolderChoice, OnlyNamesUnderDataAreRedirected)
{
    for (const char* name : { "./other/x.tga", "data", "./data/", "../data/x.tga", "data/../x.tga",
             "./data/../../etc/passwd", "/data/x.tga", "" })
        EXPECT_EQ(dataFilePath(name, installed.string()), name);
}

} // namespace
