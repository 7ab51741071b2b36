// Offline rendering: generated modules whose row length is known exactly, and the
// demo's own module played to its end.
#include "platform/audio/openmpt/ModuleRenderer.h"

#include "platform/audio/openmpt/OfflineAudioBackend.h"
#include "platform/audio/openmpt/RealTimeAudioBackend.h"
#include "support/FakeAudioDevice.h"
#include "support/TestFolder.h"
#include "support/TestModule.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using platform::ModulePosition;
using platform::ModuleRenderer;
using testing_support::TestModuleLayout;

constexpr int rate = 44100;
constexpr int chunk = ModuleRenderer::chunkFrames;
constexpr int step = ModuleRenderer::stepFrames;

TEST(ModuleRenderer, ReportsThePositionOnceTheFrameHasPlayedNotAtTheEndOfItsChunk)
{
    // two tempos, so a row length taken from the wrong field shows
    const TestModuleLayout layouts[] = { { 3, 8, 6, 125, true }, { 3, 8, 3, 150, false } };
    for (const TestModuleLayout& layout : layouts) {
        const std::vector<uint8_t> bytes = testing_support::makeTestModule(layout);
        ModuleRenderer renderer(rate);
        ASSERT_TRUE(renderer.loadMemory(bytes.data(), bytes.size())) << renderer.lastError();
        std::vector<float> buffer(2 * 4 * chunk);
        const double row = testing_support::rowFrames(layout, rate);
        for (uint64_t frame = 0; frame < row * 20; frame += 97) {
            while (renderer.renderedFrames() <= frame)
                renderer.render(buffer.data(), 4 * chunk); // as a device asks: the FIFO holds only so much
            // rows played once this frame has (the end of its chunk would be up to 5.8 ms on)
            const double rowsPlayed = static_cast<double>(frame + 1) / row;
            const int whole = static_cast<int>(rowsPlayed);
            const double intoRow = (rowsPlayed - whole) * row;
            if (intoRow <= step || row - intoRow <= step)
                continue; // a row start is known to within one render step
            const ModulePosition position = renderer.positionAt(frame);
            ASSERT_EQ(position.order, whole / layout.rows) << "frame " << frame;
            ASSERT_EQ(position.row, whole % layout.rows) << "frame " << frame;
            ASSERT_NEAR(position.rowFraction, rowsPlayed - whole, step / row) << "frame " << frame;
        }
    }
}

TEST(ModuleRenderer, PackedPositionDividesBackToTheRow)
{
    for (const int scaler : { 1, 12, 16 }) {
        for (int row = 0; row < 64; ++row) {
            for (const float fraction : { 0.0f, 0.49f, 0.5f, 0.99999994f }) {
                const ModulePosition position { static_cast<uint16_t>(row % 15), static_cast<uint16_t>(row),
                    fraction };
                const uint32_t packed = platform::packPosition(position, scaler);
                ASSERT_EQ(packed & 0xFFFFu, position.order);
                ASSERT_EQ((packed >> 16) / scaler, static_cast<uint32_t>(row)) << "fraction " << fraction;
                ASSERT_EQ((packed >> 16) % scaler, static_cast<uint32_t>(std::floor(fraction * scaler)));
            }
        }
    }
}

TEST(ModuleRenderer, PlaysTheDemosModuleThroughOrdersZeroToFourteenFromTheirFirstRows)
{
    ModuleRenderer renderer(rate);
    ASSERT_TRUE(renderer.loadFile("data/mordel.it")) << renderer.lastError();
    std::vector<std::pair<int, int>> seen; // each order with the row it first shows
    std::vector<float> buffer(2 * chunk);
    while (!renderer.ended() && renderer.renderedFrames() < uint64_t { rate } * 600) {
        const uint64_t first = renderer.renderedFrames();
        renderer.render(buffer.data(), chunk);
        const ModulePosition position = renderer.positionAt(first);
        if (seen.empty() || seen.back().first != position.order)
            seen.emplace_back(position.order, position.row);
    }
    ASSERT_EQ(seen.size(), 15u);
    for (int order = 0; order < 15; ++order)
        EXPECT_EQ(seen[order], std::make_pair(order, 0)) << "the " << order << "th order played";
}

// The renderer and both backends read a module file the same way, and say which file
// failed and why.
TEST(ModuleRenderer, EveryLoaderNamesTheFileAndWhyItIsNoModule)
{
    const testsupport::TestFolder files;
    const std::string folder = files / "folder.it";
    const std::string fifo = files / "fifo.it";
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string sparse = files.write("sparse.it", { 0 });
    ASSERT_EQ(::truncate(sparse.c_str(), static_cast<off_t>(ModuleRenderer::maxFileBytes) + 1), 0);
    std::vector<uint8_t> module = testing_support::makeTestModule(TestModuleLayout {});
    const std::string cut
        = files.write("cut.it", std::vector<unsigned char>(module.begin(), module.begin() + 100));

    const std::pair<std::string, std::string> cases[] = {
        { folder, folder + ": a directory, not a regular file" },
        { fifo, fifo + ": a FIFO, not a regular file" },
        { sparse, sparse + ": 65 MB, more than the 64 MB a module may have" },
        { cut, cut + ": not a module that libopenmpt can play" },
    };
    using Loader = std::function<std::string(const std::string&)>;
    const Loader loaders[] = {
        [](const std::string& path) {
            ModuleRenderer renderer(rate);
            return renderer.loadFile(path.c_str()) ? "loaded" : renderer.lastError();
        },
        [](const std::string& path) {
            platform::OfflineAudioBackend backend;
            backend.openDevice(rate);
            return backend.loadModule(path.c_str()) != 0 ? "loaded" : backend.lastError();
        },
        [](const std::string& path) {
            platform::RealTimeAudioBackend backend(
                std::make_unique<testing_support::FakeAudioDevice>(512, 1024));
            backend.openDevice(rate);
            return backend.loadModule(path.c_str()) != 0 ? "loaded" : backend.lastError();
        },
    };
    for (const Loader& load : loaders) {
        for (const auto& [path, error] : cases) {
            EXPECT_EQ(load(path).substr(0, error.size()), error);
        }
    }
}

} // namespace
