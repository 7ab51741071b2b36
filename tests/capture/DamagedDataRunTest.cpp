// vorimel-capture run as a program on data that is not what it seems: modules cut
// short or with damaged header, order list or pattern offsets, a directory, a FIFO or
// an over-large sparse file in place of the module, and damaged pictures. Whatever
// the data holds, each run ends in time with an exit code, never a signal, and
// whatever failed is named on stderr.
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<char>;

// far beyond the 2 s such a run takes, so that only a hang reaches it
constexpr auto timeLimit = std::chrono::seconds(60);
constexpr size_t orderListAt = 192; // in an Impulse Tracker header

Bytes readBytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

void writeBytes(const fs::path& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

uint16_t le16(const Bytes& bytes, size_t at)
{
    return static_cast<uint16_t>(
        static_cast<uint8_t>(bytes.at(at)) | static_cast<uint8_t>(bytes.at(at + 1)) << 8);
}

// A working folder in the test's own whose data/ holds the build's files, linked,
// except `damaged`, which the caller then puts there itself.
fs::path dataFolder(
    const testsupport::TestFolder& files, const std::string& name, const std::vector<std::string>& damaged)
{
    const fs::path folder = files / name;
    fs::create_directories(folder / "data");
    for (const fs::directory_entry& entry : fs::directory_iterator("data")) {
        const std::string file = entry.path().filename().string();
        if (std::find(damaged.begin(), damaged.end(), file) == damaged.end())
            fs::create_symlink(fs::absolute(entry.path()), folder / "data" / file);
    }
    return folder;
}

struct RunResult {
    bool ended = false; // within the time limit
    int signal = 0;     // that ended it, or 0
    int status = -1;    // the exit code when no signal ended it
    std::string error;  // stderr
    // a sanitizer's report, in a sanitizer build
    bool sanitizerReport() const
    {
        return error.find("Sanitizer") != std::string::npos
            || error.find("runtime error:") != std::string::npos;
    }
    std::string describe() const
    {
        return (ended ? signal ? "killed by signal " + std::to_string(signal)
                               : "exit " + std::to_string(status)
                      : std::string("still running after the time limit"))
            + ", stderr:\n" + error;
    }
};

// Runs the capture tool in the folder, killing it if it outlives the time limit.
RunResult capture(const fs::path& folder)
{
    const std::string errorLog = (folder / "stderr.txt").string();
    const pid_t child = fork();
    if (child == 0) {
        const int err = ::open(errorLog.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int out = ::open("/dev/null", O_WRONLY);
        if (chdir(folder.c_str()) != 0 || err < 0 || out < 0 || dup2(err, 2) < 0 || dup2(out, 1) < 0)
            _exit(127);
        execl(VORIMEL_CAPTURE, VORIMEL_CAPTURE, "--fps", "10", "--until", "1", static_cast<char*>(nullptr));
        _exit(127);
    }
    RunResult run;
    if (child < 0)
        return run;
    const auto deadline = std::chrono::steady_clock::now() + timeLimit;
    int raw = 0;
    bool killed = false;
    while (waitpid(child, &raw, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            killed = true;
            kill(child, SIGKILL);
            waitpid(child, &raw, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    run.ended = !killed;
    run.signal = WIFSIGNALED(raw) ? WTERMSIG(raw) : 0;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    const Bytes error = readBytes(errorLog);
    run.error.assign(error.begin(), error.end());
    return run;
}

struct ModuleCase {
    std::string name;
    std::function<void(const fs::path& module)> damage;
    bool loadable; // whether libopenmpt may still take what is left
};

TEST(DamagedDataRun, EveryDamagedModuleEndsTheRunInTimeWithAReason)
{
    const testsupport::TestFolder files;
    const Bytes module = readBytes("data/mordel.it");
    ASSERT_GT(module.size(), 4096u) << "run from the build folder";
    const uint16_t orders = le16(module, 32);
    const uint16_t instruments = le16(module, 34);
    const uint16_t samples = le16(module, 36);
    const uint16_t patterns = le16(module, 38);
    const size_t patternOffsetsAt = orderListAt + orders + 4u * instruments + 4u * samples;
    ASSERT_LT(patternOffsetsAt + 4u * patterns, module.size());

    const auto cut = [&](size_t length) {
        return [&module, length](const fs::path& path) {
            writeBytes(path, Bytes(module.begin(), module.begin() + length));
        };
    };
    const auto changed = [&](std::function<void(Bytes&)> change) {
        return [&module, change](const fs::path& path) {
            Bytes bytes = module;
            change(bytes);
            writeBytes(path, bytes);
        };
    };
    const std::vector<ModuleCase> cases = {
        { "empty", cut(0), false },
        { "cut in the header", cut(100), false },
        { "cut in the order list", cut(orderListAt + orders / 2), false },
        { "cut in the pattern offsets", cut(patternOffsetsAt + 6), true },
        { "cut in half", cut(module.size() / 2), true },
        { "one byte short", cut(module.size() - 1), true },
        { "no signature", changed([](Bytes& b) { b[0] = 'X'; }), false },
        { "order count beyond the file", changed([](Bytes& b) { b[32] = b[33] = char(0xFF); }), true },
        { "pattern count beyond the file", changed([](Bytes& b) { b[38] = b[39] = char(0x7F); }), true },
        { "orders of missing patterns", changed([&](Bytes& b) {
             for (size_t i = 0; i + 1 < orders; ++i)
                 b[orderListAt + i] = char(190 - i);
         }),
            true },
        { "orders all skipped", changed([&](Bytes& b) {
             for (size_t i = 0; i + 1 < orders; ++i)
                 b[orderListAt + i] = char(254);
         }),
            true },
        { "song ends after order 0", changed([](Bytes& b) { b[orderListAt + 1] = char(255); }), true },
        { "pattern offsets past the end", changed([&](Bytes& b) {
             for (size_t i = 0; i < 4u * patterns; ++i)
                 b[patternOffsetsAt + i] = char(0xF0);
         }),
            true },
        { "pattern offsets into the header", changed([&](Bytes& b) {
             for (size_t p = 0; p < patterns; ++p) {
                 const char offset[4] = { char(8 * p), 0, 0, 0 };
                 std::copy(offset, offset + 4, b.begin() + patternOffsetsAt + 4 * p);
             }
         }),
            true },
        { "a directory", [](const fs::path& path) { fs::create_directory(path); }, false },
        { "a FIFO", [](const fs::path& path) { mkfifo(path.c_str(), 0600); }, false },
        { "a 2 GB sparse file",
            [&](const fs::path& path) {
                writeBytes(path, Bytes(module.begin(), module.begin() + 4096));
                fs::resize_file(path, uintmax_t { 2 } << 30);
            },
            false },
    };

    int index = 0;
    for (const ModuleCase& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path folder = dataFolder(files, "module" + std::to_string(index++), { "mordel.it" });
        c.damage(folder / "data" / "mordel.it");
        const RunResult run = capture(folder);
        ASSERT_TRUE(run.ended) << run.describe();
        EXPECT_EQ(run.signal, 0) << run.describe();
        EXPECT_FALSE(run.sanitizerReport()) << run.describe();
        if (run.status != 0) {
            EXPECT_FALSE(run.error.empty()) << run.describe();
        }
        if (!c.loadable) {
            EXPECT_NE(run.status, 0) << run.describe();
            EXPECT_NE(run.error.find("./data/mordel.it"), std::string::npos) << run.describe();
        }
    }
}

TEST(DamagedDataRun, DamagedPicturesAreNamedAndTheDemoStillRuns)
{
    const std::vector<std::string> damaged
        = { "vorimel.tga", "diagonales.tga", "cosa00d.tga", "cosa03.tga", "flare2.tga", "cosa04d1.tga" };
    const testsupport::TestFolder files;
    const fs::path folder = dataFolder(files, "pictures", damaged);
    const fs::path data = folder / "data";
    const Bytes logo = readBytes("data/vorimel.tga");
    ASSERT_GT(logo.size(), 1000u) << "run from the build folder";

    writeBytes(data / "vorimel.tga", Bytes(logo.begin(), logo.begin() + 1000)); // cut in the pixels
    Bytes sixteenBits = readBytes("data/diagonales.tga");
    sixteenBits.at(16) = 16;
    writeBytes(data / "diagonales.tga", sixteenBits);
    writeBytes(data / "cosa00d.tga", {}); // empty
    ASSERT_EQ(mkfifo((data / "cosa03.tga").c_str(), 0600), 0);
    fs::create_directory(data / "flare2.tga");
    // a header promising 32768 x 16383 x 32 bits, in a sparse file of 2 GB
    Bytes huge(logo.begin(), logo.begin() + 18);
    huge[12] = 0, huge[13] = char(0x80), huge[14] = char(0xFF), huge[15] = char(0x3F), huge[16] = 32;
    writeBytes(data / "cosa04d1.tga", huge);
    fs::resize_file(data / "cosa04d1.tga", uintmax_t { 2 } << 30);

    const RunResult run = capture(folder);
    ASSERT_TRUE(run.ended) << run.describe();
    EXPECT_EQ(run.signal, 0) << run.describe();
    EXPECT_FALSE(run.sanitizerReport()) << run.describe();
    for (const std::string& name : damaged)
        EXPECT_NE(run.error.find("cannot load picture ./data/" + name + ": "), std::string::npos)
            << name << ": " << run.describe();
}

} // namespace
