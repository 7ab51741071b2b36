// vorimel-capture run as a program from the build folder, where data/ is: the whole
// demo, deterministic, with no display and no sound card.
#include "platform/TestModule.h"

#include <libopenmpt/libopenmpt.h>

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
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

constexpr int rate = 44100;

using Bytes = std::vector<char>;

Bytes readBytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// A fresh folder for one test's outputs.
fs::path outputFolder(const std::string& name)
{
    const fs::path folder = fs::path(testing::TempDir()) / ("capture_" + name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

struct CaptureResult {
    int status = -1;
    std::string output; // stdout and stderr
};

CaptureResult capture(
    const std::string& arguments, const fs::path& folder, const std::string& environment = "")
{
    const fs::path log = folder / "log.txt";
    const std::string command
        = environment + " '" VORIMEL_CAPTURE "' " + arguments + " > '" + log.string() + "' 2>&1";
    const int raw = std::system(command.c_str());
    const Bytes text = readBytes(log);
    return { WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, std::string(text.begin(), text.end()) };
}

// A working folder whose data/ holds the build's pictures and the given module (none
// when it is empty); the capture runs there with the returned prefix.
std::string demoFolder(const fs::path& folder, const std::vector<uint8_t>& module)
{
    fs::create_directories(folder / "data");
    for (const fs::directory_entry& entry : fs::directory_iterator("data"))
        if (entry.path().extension() == ".tga")
            fs::create_symlink(fs::absolute(entry.path()), folder / "data" / entry.path().filename());
    if (!module.empty()) {
        std::ofstream file(folder / "data" / "mordel.it", std::ios::binary);
        file.write(reinterpret_cast<const char*>(module.data()), static_cast<std::streamsize>(module.size()));
    }
    return "cd '" + folder.string() + "' &&";
}

// Captures into folder/run (frames) and folder/run.wav.
CaptureResult captureTo(const std::string& options, const fs::path& folder, const std::string& run)
{
    const std::string out = (folder / run).string();
    return capture(options + " --frames '" + out + "' --audio '" + out + ".wav'", folder);
}

// The numbered frame files, in order.
std::vector<Bytes> frameFiles(const fs::path& folder)
{
    std::vector<Bytes> frames;
    for (int n = 0;; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, "%06d.png", n);
        if (!fs::exists(folder / name))
            break;
        frames.push_back(readBytes(folder / name));
    }
    return frames;
}

uint32_t le32(const Bytes& bytes, size_t at)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<uint8_t>(bytes.at(at + i));
    return value;
}

// The sample frames of a 16-bit stereo WAV whose sizes agree with its length; -1 otherwise.
int64_t wavFrames(const Bytes& wav)
{
    if (wav.size() < 44 || std::string(wav.data(), 4) != "RIFF" || le32(wav, 4) != wav.size() - 8
        || le32(wav, 40) != wav.size() - 44 || le32(wav, 24) != rate)
        return -1;
    return static_cast<int64_t>(le32(wav, 40) / 4);
}

TEST(CaptureRun, TwoCapturesGiveTheSameBytesAndOnlyTheVariantChangesThePicture)
{
    const fs::path folder = outputFolder("determinism");
    for (const char* run : { "a1", "a2", "b" }) {
        const CaptureResult done = captureTo(
            std::string("--fps 10 --until 2") + (run[0] == 'b' ? " --variant b" : ""), folder, run);
        ASSERT_EQ(done.status, 0) << done.output;
    }
    const std::vector<Bytes> first = frameFiles(folder / "a1");
    const std::vector<Bytes> second = frameFiles(folder / "a2");
    ASSERT_EQ(first.size(), 96u); // orders 0 and 1: 9.6 s
    ASSERT_EQ(second.size(), first.size());
    for (size_t n = 0; n < first.size(); ++n)
        ASSERT_TRUE(first[n] == second[n]) << "frame " << n << " differs between two runs";
    const Bytes audio = readBytes(folder / "a1.wav");
    EXPECT_TRUE(audio == readBytes(folder / "a2.wav"));
    EXPECT_EQ(wavFrames(audio), 96 * rate / 10);

    // the trails of variant b fade slower: same music, other pictures once trails exist
    const std::vector<Bytes> slower = frameFiles(folder / "b");
    ASSERT_EQ(slower.size(), first.size());
    EXPECT_TRUE(readBytes(folder / "b.wav") == audio);
    EXPECT_FALSE(slower.back() == first.back());
}

TEST(CaptureRun, FrameCountFollowsTheModulesTimeOfOrder14)
{
    // seconds from the module's start to its order 14, straight from libopenmpt
    const Bytes module = readBytes("data/mordel.it");
    openmpt_module* loaded = openmpt_module_create_from_memory2(module.data(), module.size(),
        openmpt_log_func_silent, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(loaded, nullptr) << "run from the build folder";
    const double seconds = openmpt_module_set_position_order_row(loaded, 14, 0);
    openmpt_module_destroy(loaded);
    ASSERT_GT(seconds, 0.0);

    const fs::path folder = outputFolder("length");
    const CaptureResult done = captureTo("--fps 10", folder, "frames");
    ASSERT_EQ(done.status, 0) << done.output;
    const int64_t frames = static_cast<int64_t>(frameFiles(folder / "frames").size());
    EXPECT_NEAR(static_cast<double>(frames), 10.0 * seconds, 1.0);
    EXPECT_EQ(wavFrames(readBytes(folder / "frames.wav")), frames * rate / 10); // the frames' own samples
    EXPECT_NE(done.output.find(std::to_string(frames) + " frames"), std::string::npos) << done.output;
}

TEST(CaptureRun, LoadingScreenComesFirstInSilenceAndLeavesTheDemoAsItWas)
{
    const fs::path folder = outputFolder("loading");
    constexpr int fps = 24; // 1837.5 samples a frame: the section must end on the sample grid
    for (const char* run : { "plain", "loading" }) {
        const std::string extra = std::string(run) == "loading" ? " --loading" : "";
        const CaptureResult done = captureTo("--fps 24 --until 1" + extra, folder, run);
        ASSERT_EQ(done.status, 0) << done.output;
    }
    const std::vector<Bytes> plain = frameFiles(folder / "plain");
    const std::vector<Bytes> loading = frameFiles(folder / "loading");
    ASSERT_GT(loading.size(), plain.size());
    const size_t section = loading.size() - plain.size();
    EXPECT_GE(section * 1000 / fps, 1000u); // the loader's last screen stays up for its one-second sleep
    EXPECT_EQ(section % 2, 0u); // else frame 0 of the demo would start half a sample late
    for (size_t n = 0; n < plain.size(); ++n)
        ASSERT_TRUE(loading[section + n] == plain[n]) << "demo frame " << n;
    EXPECT_FALSE(loading.front() == loading[section - 1]); // the bar fills

    const Bytes plainWav = readBytes(folder / "plain.wav");
    const Bytes loadingWav = readBytes(folder / "loading.wav");
    const size_t silence = section * rate / fps * 4;
    ASSERT_EQ(wavFrames(loadingWav), wavFrames(plainWav) + static_cast<int64_t>(silence / 4));
    EXPECT_TRUE(std::all_of(
        loadingWav.begin() + 44, loadingWav.begin() + 44 + silence, [](char b) { return b == 0; }));
    EXPECT_TRUE(std::equal(plainWav.begin() + 44, plainWav.end(), loadingWav.begin() + 44 + silence));
}

TEST(CaptureRun, VideoWithoutFfmpegStopsAtOnceWithAClearMessage)
{
    const fs::path folder = outputFolder("noffmpeg");
    const fs::path video = folder / "demo.mp4";
    const CaptureResult done
        = capture("--until 1 --video '" + video.string() + "'", folder, "env PATH=/nonexistent");
    EXPECT_NE(done.status, 0);
    EXPECT_NE(done.output.find("ffmpeg"), std::string::npos) << done.output;
    EXPECT_FALSE(fs::exists(video));
}

TEST(CaptureRun, VideoHoldsEveryFrameUpscaledAndTheSound)
{
    if (std::system("command -v ffmpeg > /dev/null && command -v ffprobe > /dev/null") != 0)
        GTEST_SKIP() << "ffmpeg is not installed";
    const fs::path folder = outputFolder("video");
    const fs::path video = folder / "demo.mp4";
    const CaptureResult done
        = capture("--fps 10 --until 1 --scale 2 --video '" + video.string() + "'", folder);
    ASSERT_EQ(done.status, 0) << done.output;
    const std::string command = "ffprobe -v error -count_frames -show_entries stream=codec_name,width,height,"
                                "nb_read_frames -of default=noprint_wrappers=1 '"
        + video.string() + "' > '" + (folder / "probe.txt").string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const Bytes probe = readBytes(folder / "probe.txt");
    const std::string streams(probe.begin(), probe.end());
    // order 0: 4.8 s at 10 fps, 1280 x 960, with its sound
    for (const char* line :
        { "codec_name=h264", "width=1280\nheight=960", "nb_read_frames=48", "codec_name=aac" })
        EXPECT_NE(streams.find(line), std::string::npos) << line << " in\n" << streams;
}

TEST(CaptureRun, EndsWhereTheProgramEndsWhenTheMusicEndsFirst)
{
    // rows of 441 samples: at 100 fps one frame a row
    const struct {
        testing_support::TestModuleLayout layout;
        const char* until;
        int rowsHeard;
        const char* note;
    } cases[] = {
        { { 8, 4, 1, 250, true }, "", 32, "the music ended at order 7, before order 14" },
        { { 15, 4, 1, 250, true, 5, -1 }, "", 56,
            "the music ended at order 14, with the timeline still waiting for order 5" },
        { { 15, 4, 1, 250, true, -1, 6 }, " --until 9", 24, "the music ended at order 5, before order 9" },
    };
    int run = 0;
    for (const auto& c : cases) {
        const fs::path folder = outputFolder("ends" + std::to_string(run++));
        const std::string in = demoFolder(folder, testing_support::makeTestModule(c.layout));
        const CaptureResult done
            = capture(std::string("--fps 100") + c.until + " --frames out --audio out.wav", folder, in);
        ASSERT_EQ(done.status, 0) << done.output;
        EXPECT_NE(done.output.find(c.note), std::string::npos) << done.output;
        EXPECT_NE(done.output.find("up to the end of the music"), std::string::npos) << done.output;
        EXPECT_EQ(frameFiles(folder / "out").size(), static_cast<size_t>(c.rowsHeard));
        EXPECT_EQ(wavFrames(readBytes(folder / "out.wav")), c.rowsHeard * 441);
    }
}

TEST(CaptureRun, NamesAMissingModuleApartFromOneThatCannotBePlayed)
{
    const fs::path missing = outputFolder("missing");
    CaptureResult done = capture("--audio out.wav", missing, demoFolder(missing, {}));
    EXPECT_EQ(done.status, 2);
    EXPECT_NE(done.output.find("no ./data/mordel.it in the working folder"), std::string::npos)
        << done.output;

    const fs::path garbage = outputFolder("garbage");
    done = capture("--audio out.wav", garbage, demoFolder(garbage, { 'n', 'o', 't', ' ', 'I', 'T' }));
    EXPECT_EQ(done.status, 2);
    EXPECT_NE(done.output.find("cannot play ./data/mordel.it: "), std::string::npos) << done.output;
    EXPECT_EQ(done.output.find("in the working folder"), std::string::npos) << done.output;
}

} // namespace
