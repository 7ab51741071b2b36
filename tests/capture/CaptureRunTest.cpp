// vorimel-capture run as a program from the build folder, where data/ is: the whole
// demo, deterministic, with no display and no sound card.
#include "support/TestFolder.h"
#include "support/TestModule.h"

#include <libopenmpt/libopenmpt.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int rate = 44100;

using Bytes = std::vector<char>;

Bytes readBytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// A folder for one run's outputs, in the test's own.
fs::path outputFolder(const testsupport::TestFolder& files, const std::string& name)
{
    const fs::path folder = files / name;
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

// The capture as on a full disk: writes past maxBytes fail with EFBIG, in the capture
// and in the ffmpeg it starts (SIGXFSZ ignored, the shell's limit in 512-byte blocks).
CaptureResult captureOnFullDisk(const std::string& arguments, const fs::path& folder, uintmax_t maxBytes)
{
    return capture(arguments, folder, "trap '' XFSZ; ulimit -f " + std::to_string(maxBytes / 512) + ";");
}

// Files under the folder that a capture left, its log apart, by relative path.
std::vector<std::string> filesLeft(const fs::path& folder)
{
    std::vector<std::string> left;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file() && entry.path().filename() != "log.txt")
            left.push_back(fs::relative(entry.path(), folder).string());
    std::sort(left.begin(), left.end());
    return left;
}

// A PNG file written to its end: the signature first, the IEND chunk last.
bool isWholePng(const Bytes& png)
{
    static const char signature[] = "\x89PNG\r\n\x1a\n";
    static const char end[] = "IEND\xae\x42\x60\x82";
    return png.size() > 20 && std::equal(signature, signature + 8, png.begin())
        && std::equal(end, end + 8, png.end() - 8);
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
    const testsupport::TestFolder files;
    const fs::path folder = outputFolder(files, "determinism");
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
    const testsupport::TestFolder files;
    // seconds from the module's start to its order 14, straight from libopenmpt
    const Bytes module = readBytes("data/mordel.it");
    openmpt_module* loaded = openmpt_module_create_from_memory2(module.data(), module.size(),
        openmpt_log_func_silent, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(loaded, nullptr) << "run from the build folder";
    const double seconds = openmpt_module_set_position_order_row(loaded, 14, 0);
    openmpt_module_destroy(loaded);
    ASSERT_GT(seconds, 0.0);

    const fs::path folder = outputFolder(files, "length");
    const CaptureResult done = captureTo("--fps 10", folder, "frames");
    ASSERT_EQ(done.status, 0) << done.output;
    const int64_t frames = static_cast<int64_t>(frameFiles(folder / "frames").size());
    EXPECT_NEAR(static_cast<double>(frames), 10.0 * seconds, 1.0);
    EXPECT_EQ(wavFrames(readBytes(folder / "frames.wav")), frames * rate / 10); // the frames' own samples
    EXPECT_NE(done.output.find(std::to_string(frames) + " frames"), std::string::npos) << done.output;
}

TEST(CaptureRun, LoadingScreenComesFirstInSilenceAndLeavesTheDemoAsItWas)
{
    const testsupport::TestFolder files;
    const fs::path folder = outputFolder(files, "loading");
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
    EXPECT_EQ(section % 2, 0u);             // else frame 0 of the demo would start half a sample late
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
    const testsupport::TestFolder files;
    const fs::path folder = outputFolder(files, "noffmpeg");
    const fs::path video = folder / "demo.mp4";
    const CaptureResult done
        = capture("--until 1 --video '" + video.string() + "'", folder, "env PATH=/nonexistent");
    EXPECT_NE(done.status, 0);
    EXPECT_NE(done.output.find("ffmpeg"), std::string::npos) << done.output;
    EXPECT_FALSE(fs::exists(video));
}

TEST(CaptureRun, VideoHoldsEveryFrameAtTheHeightAskedForAndTheSound)
{
    if (std::system("command -v ffmpeg > /dev/null && command -v ffprobe > /dev/null") != 0)
        GTEST_SKIP() << "ffmpeg is not installed";
    const testsupport::TestFolder files;
    const fs::path folder = outputFolder(files, "video");
    const fs::path video = folder / "demo.mp4";
    const CaptureResult done
        = capture("--fps 10 --until 1 --height 960 --video '" + video.string() + "'", folder);
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
    const testsupport::TestFolder files;
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
        const fs::path folder = outputFolder(files, "ends" + std::to_string(run++));
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
    const testsupport::TestFolder files;
    const fs::path missing = outputFolder(files, "missing");
    CaptureResult done = capture("--audio out.wav", missing, demoFolder(missing, {}));
    EXPECT_EQ(done.status, 2);
    EXPECT_NE(done.output.find("no ./data/mordel.it in the working folder"), std::string::npos)
        << done.output;

    const fs::path garbage = outputFolder(files, "garbage");
    done = capture("--audio out.wav", garbage, demoFolder(garbage, { 'n', 'o', 't', ' ', 'I', 'T' }));
    EXPECT_EQ(done.status, 2);
    EXPECT_NE(done.output.find("cannot play ./data/mordel.it: "), std::string::npos) << done.output;
    EXPECT_EQ(done.output.find("in the working folder"), std::string::npos) << done.output;
    EXPECT_FALSE(fs::exists(garbage / "out.wav") || fs::exists(garbage / "out.wav.part"))
        << "a WAV file of a capture that failed";
}

TEST(CaptureRun, AFullDiskLeavesNoUnfinishedFileThatLooksFinished)
{
    const testsupport::TestFolder files;
    // the first frame's PNG; the WAV after some frames (PNG frames of order 0 are
    // smaller than 700 KB, its 4.8 s of sound is 847 KB)
    for (const uintmax_t limit : { 100'000u, 700'000u }) {
        const fs::path folder = outputFolder(files, "full" + std::to_string(limit));
        const CaptureResult done = captureOnFullDisk("--fps 10 --until 1 --frames '" + (folder / "f").string()
                + "' --audio '" + (folder / "a.wav").string() + "'",
            folder, limit);
        EXPECT_EQ(done.status, 2) << done.output;
        EXPECT_NE(done.output.find("File too large"), std::string::npos) << done.output;
        const std::vector<Bytes> frames = frameFiles(folder / "f");
        EXPECT_EQ(filesLeft(folder).size(), frames.size()) << "only the frames written to their end are left";
        for (size_t n = 0; n < frames.size(); ++n)
            EXPECT_TRUE(isWholePng(frames[n])) << "frame " << n;
        EXPECT_EQ(frames.empty(), limit == 100'000u);
    }
}

TEST(CaptureRun, AVideoThatCannotBeWrittenLeavesNothing)
{
    if (std::system("command -v ffmpeg > /dev/null") != 0)
        GTEST_SKIP() << "ffmpeg is not installed";
    const testsupport::TestFolder files;
    // at twice the height and 20 fps the picture alone (1.4 MB) is larger than the sound
    // (847 KB), and the muxed video larger than the picture by the sound's AAC
    const std::string options = "--fps 20 --until 1 --height 960 --video ";
    const fs::path whole = outputFolder(files, "video_whole");
    CaptureResult done = capture(options + "'" + (whole / "x.mp4").string() + "'", whole);
    ASSERT_EQ(done.status, 0) << done.output;
    const uintmax_t videoBytes = fs::file_size(whole / "x.mp4");
    ASSERT_GT(videoBytes, 1'200'000u);

    const struct {
        uintmax_t limit;
        const char* failure;
    } cases[] = {
        { 100'000, "x.mp4.audio.wav: File too large" },
        { 1'000'000, "ffmpeg" },
        { videoBytes - 1, "ffmpeg failed while adding the sound" },
    };
    for (const auto& c : cases) {
        const fs::path folder = outputFolder(files, "video" + std::to_string(c.limit));
        done = captureOnFullDisk(options + "'" + (folder / "x.mp4").string() + "'", folder, c.limit);
        EXPECT_EQ(done.status, 2) << done.output;
        EXPECT_NE(done.output.find(c.failure), std::string::npos) << done.output;
        EXPECT_EQ(filesLeft(folder), std::vector<std::string> {}) << done.output;
    }
}

// The capture run as from a terminal, in a process group of its own, with its output
// in folder/log.txt.
pid_t startCapture(const std::vector<std::string>& arguments, const fs::path& folder)
{
    std::vector<char*> argv { const_cast<char*>(VORIMEL_CAPTURE) };
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const std::string log = (folder / "log.txt").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(
        &actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t pid = -1;
    EXPECT_EQ(posix_spawn(&pid, VORIMEL_CAPTURE, &actions, &attributes, argv.data(), environ), 0);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// The numbers of /proc/PID/stat after the command name: [0] state, [1] ppid, [2] pgrp.
std::vector<std::string> procStat(pid_t pid)
{
    const Bytes text = readBytes("/proc/" + std::to_string(pid) + "/stat");
    const std::string stat(text.begin(), text.end());
    std::istringstream fields(stat.substr(stat.rfind(')') + 1));
    std::vector<std::string> values;
    for (std::string value; fields >> value;)
        values.push_back(value);
    return values;
}

// Processes whose command line mentions the text.
int processesMentioning(const std::string& text)
{
    int count = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator("/proc")) {
        const Bytes line = readBytes(entry.path() / "cmdline");
        count += std::search(line.begin(), line.end(), text.begin(), text.end()) != line.end() ? 1 : 0;
    }
    return count;
}

TEST(CaptureRun, SIGINTAndSIGTERMStopAVideoCaptureAndRemoveItsFiles)
{
    if (std::system("command -v ffmpeg > /dev/null") != 0)
        GTEST_SKIP() << "ffmpeg is not installed";
    const testsupport::TestFolder files;
    // Ctrl-C on a terminal signals the whole foreground group; kill only the process
    const struct {
        int signal;
        bool toGroup;
        int status;
    } cases[] = { { SIGINT, true, 130 }, { SIGTERM, false, 143 } };
    for (const auto& c : cases) {
        const fs::path folder = outputFolder(files, "signal" + std::to_string(c.signal));
        const fs::path video = folder / "x.mp4";
        const pid_t capture = startCapture(
            { "--fps", "10", "--video", video.string(), "--audio", (folder / "x.wav").string() }, folder);
        ASSERT_GT(capture, 0);

        // well into the capture: more than 5 s of sound written, ffmpeg encoding
        const fs::path encoded = folder / "x.mp4.video.mp4";
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        const fs::path sound = folder / "x.wav.part";
        while (!(fs::exists(encoded) && fs::exists(sound) && fs::file_size(sound) > 1'000'000)
            && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ASSERT_TRUE(fs::exists(encoded)) << "no frames reached ffmpeg";
        const Bytes children = readBytes(
            "/proc/" + std::to_string(capture) + "/task/" + std::to_string(capture) + "/children");
        const pid_t ffmpeg = std::atoi(std::string(children.begin(), children.end()).c_str());
        ASSERT_GT(ffmpeg, 0);
        EXPECT_NE(procStat(ffmpeg).at(2), procStat(capture).at(2))
            << "ffmpeg would get the terminal's Ctrl-C too";

        kill(c.toGroup ? -capture : capture, c.signal);
        int status = 0;
        ASSERT_EQ(waitpid(capture, &status, 0), capture);
        const Bytes log = readBytes(folder / "log.txt");
        const std::string output(log.begin(), log.end());
        ASSERT_TRUE(WIFEXITED(status)) << output;
        EXPECT_EQ(WEXITSTATUS(status), c.status) << output;
        EXPECT_NE(
            output.find(c.signal == SIGINT ? "stopped by SIGINT" : "stopped by SIGTERM"), std::string::npos)
            << output;
        EXPECT_EQ(filesLeft(folder), std::vector<std::string> {});
        EXPECT_EQ(processesMentioning(folder.string()), 0) << "an ffmpeg left running";
    }
}

} // namespace
