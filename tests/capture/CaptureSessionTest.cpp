// Captures run one after another in one process: each starts from the demo's state at
// program start, so the second gives what a capture in a fresh process gives.
#include "CaptureSession.h"
#include "CaptureOptions.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<char>;

Bytes readBytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

fs::path outputFolder(const std::string& name)
{
    const fs::path folder = fs::path(testing::TempDir()) / ("capture_session_" + name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

// The first order of the demo at 10 frames a second, into the folder.
std::vector<std::string> arguments(const fs::path& folder)
{
    return { "--fps", "10", "--until", "1", "--frames", (folder / "frames").string(), "--audio",
        (folder / "sound.wav").string() };
}

int captureHere(std::vector<std::string> words)
{
    std::vector<const char*> argv;
    for (const std::string& word : words)
        argv.push_back(word.c_str());
    CaptureOptions options;
    std::string error;
    if (!parseCaptureOptions(static_cast<int>(argv.size()), argv.data(), options, error)) {
        ADD_FAILURE() << error;
        return -1;
    }
    CaptureSession session(options);
    return session.run();
}

void expectSameFiles(const fs::path& expected, const fs::path& actual)
{
    std::vector<fs::path> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(expected / "frames"))
        names.push_back(entry.path().filename());
    ASSERT_GT(names.size(), 40u);
    EXPECT_EQ(
        static_cast<size_t>(std::distance(fs::directory_iterator(actual / "frames"), {})), names.size());
    for (const fs::path& name : names)
        ASSERT_EQ(readBytes(actual / "frames" / name), readBytes(expected / "frames" / name)) << name;
    EXPECT_EQ(readBytes(actual / "sound.wav"), readBytes(expected / "sound.wav"));
}

TEST(CaptureSession, ASecondCaptureInOneProcessGivesWhatAFreshProcessGives)
{
    const fs::path fresh = outputFolder("fresh");
    std::string command = "'" VORIMEL_CAPTURE "'";
    for (const std::string& word : arguments(fresh))
        command += " '" + word + "'";
    const int raw = std::system((command + " 2>/dev/null").c_str());
    ASSERT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << command;

    // the first leaves a larger frame, trails, flashes, a later scene time and the
    // registry released behind it
    const fs::path first = outputFolder("first");
    std::vector<std::string> larger = arguments(first);
    larger.insert(larger.end(), { "--height", "540", "--variant", "b" });
    ASSERT_EQ(captureHere(larger), 0);
    const fs::path second = outputFolder("second");
    ASSERT_EQ(captureHere(arguments(second)), 0);
    expectSameFiles(fresh, second);

    for (const fs::path& folder : { fresh, first, second })
        fs::remove_all(folder);
}

} // namespace
