// The real-time backend driven by a fake device whose audible frame is known exactly,
// and on SDL's dummy driver with the demo's own module.
#include "platform/SdlAudioBackend.h"

#include "platform/FakeAudioDevice.h"
#include "platform/TestModule.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using platform::ModuleRenderer;
using testing_support::FakeAudioDevice;
using testing_support::TestModuleLayout;

constexpr int rate = 44100;
constexpr int scaler = 12;
constexpr double videoFrame = 1.0 / 60.0;
constexpr int framesPerVideoFrame = rate / 60;

// Order first, then row * scaler + part: compares positions in playing order.
uint64_t key(uint64_t packed) { return ((packed & 0xFFFFu) << 16) | ((packed >> 16) & 0xFFFFu); }

std::string writeModule(const TestModuleLayout& layout, const char* name)
{
    return testsupport::writeTemporaryFile(name, testing_support::makeTestModule(layout));
}

// A backend on a fake device, started the way the music player starts it.
struct Playback {
    Playback(const std::string& path, int period, int latency, int maxLate = 0, double driftPpm = 0.0)
    {
        auto fake = std::make_unique<FakeAudioDevice>(period, latency, maxLate, driftPpm);
        device = fake.get();
        backend = std::make_unique<platform::SdlAudioBackend>(std::move(fake));
        EXPECT_TRUE(backend->openDevice(rate));
        handle = backend->loadModule(path.c_str());
        EXPECT_NE(handle, 0u) << backend->lastError();
        backend->play(handle);
        backend->startOutput();
        backend->setPositionScaler(handle, scaler);
        backend->playFrom(handle, 0, true);
    }
    FakeAudioDevice* device = nullptr;
    std::unique_ptr<platform::SdlAudioBackend> backend;
    uint32_t handle = 0;
};

TEST(SdlAudioBackend, ReportedPositionStaysWithinOneVideoFrameOfTheAudibleOne)
{
    const std::string path = writeModule(TestModuleLayout{3, 16, 6, 125, true}, "offset.it");
    // where each chunk stands, rendered offline
    std::vector<uint64_t> truth;
    ModuleRenderer reference(rate);
    ASSERT_TRUE(reference.loadFile(path.c_str()));
    std::vector<float> buffer(2 * ModuleRenderer::chunkFrames);
    for (int i = 0; i < 12 * rate / ModuleRenderer::chunkFrames; ++i) {
        reference.render(buffer.data(), ModuleRenderer::chunkFrames);
        const platform::ModulePosition position = reference.positionAt(reference.renderedFrames() - 1);
        truth.push_back(key(ModuleRenderer::packPosition(position, scaler)));
    }
    const auto truthAt = [&](int64_t frame) {
        return truth[std::clamp<int64_t>(frame / ModuleRenderer::chunkFrames, 0, truth.size() - 1)];
    };

    // period, latency and lateness in frames, drift in ppm
    const int devices[][4] = {
        {1024, 1024, 0, 0}, {1024, 2048, 600, 0}, {512, 1536, 300, 300}, {256, 4096, 0, -300}};
    for (const auto& [period, latency, maxLate, driftPpm] : devices) {
        Playback playback(path, period, latency, maxLate, driftPpm);
        for (int frame = 0; frame < 60 * 8; ++frame) {
            playback.device->advance(videoFrame * (frame % 3 == 0 ? 0.7 : 1.15)); // not in step with callbacks
            const int64_t audible = static_cast<int64_t>(playback.device->trueAudibleFrame());
            ASSERT_NEAR(static_cast<double>(playback.backend->audibleFrame()), static_cast<double>(audible),
                        framesPerVideoFrame) << "latency " << latency << ", video frame " << frame;
            const uint64_t reported = key(playback.backend->position(playback.handle));
            ASSERT_GE(reported, truthAt(audible - framesPerVideoFrame)) << "video frame " << frame;
            ASSERT_LE(reported, truthAt(audible + framesPerVideoFrame)) << "video frame " << frame;
            ASSERT_EQ(playback.device->heldLocks(), 0);
        }
    }
}

TEST(SdlAudioBackend, SeekShowsOnlyOnceItsFramesAreAudible)
{
    Playback playback(writeModule(TestModuleLayout{6, 32, 6, 125, true}, "seek.it"), 1024, 4096);
    playback.device->advance(0.5);
    const uint64_t seekFrame = playback.device->handedFrames();
    ASSERT_EQ(playback.backend->setPosition(playback.handle, 4 | (3u << 16)), 1);
    int heardOld = 0;
    int heardNew = 0;
    for (int frame = 0; frame < 30; ++frame) {
        const uint64_t packed = playback.backend->position(playback.handle);
        const uint64_t audible = playback.device->trueAudibleFrame();
        if (audible + 1 < seekFrame) { // a frame either side is left to clock rounding
            EXPECT_EQ(packed & 0xFFFFu, 0u) << "the new order showed before it was heard";
            ++heardOld;
        } else if (audible > seekFrame + 1) {
            EXPECT_EQ(packed & 0xFFFFu, 4u);
            EXPECT_TRUE(heardNew++ > 0 || (packed >> 16) / scaler == 3u) << "not from the row asked for";
        }
        playback.device->advance(videoFrame / 2);
    }
    EXPECT_GT(heardOld, 2); // the 93 ms the device held were heard first
    EXPECT_GT(heardNew, 2);
}

TEST(SdlAudioBackend, EndedOnlyOnceTheMusicsLastFrameIsHeard)
{
    // 80 ms of music (8 rows of 441 frames) behind 93 ms of device latency: the
    // renderer finishes long before the listener hears the end
    const TestModuleLayout layout{2, 4, 1, 250, true};
    const double musicEnd = 8 * testing_support::rowFrames(layout, rate);
    Playback playback(writeModule(layout, "ends.it"), 256, 4096);
    int renderedButUnheard = 0;
    for (int step = 0; step < 400; ++step) {
        const double audible = static_cast<double>(playback.device->trueAudibleFrame());
        const bool ended = playback.backend->ended(playback.handle);
        if (audible < musicEnd - framesPerVideoFrame) {
            ASSERT_FALSE(ended) << "frame " << audible << " of " << musicEnd;
            renderedButUnheard += playback.device->handedFrames() > musicEnd ? 1 : 0;
        } else if (audible > musicEnd + framesPerVideoFrame) {
            ASSERT_TRUE(ended) << "frame " << audible << " of " << musicEnd;
        }
        ASSERT_EQ(playback.device->heldLocks(), 0);
        playback.device->advance(0.0005);
    }
    EXPECT_GT(renderedButUnheard, 20);

    // a handle that holds no module has no music to wait for
    EXPECT_TRUE(playback.backend->ended(0));
    EXPECT_TRUE(playback.backend->ended(playback.handle + 1));
    const uint32_t next = playback.backend->loadModule(writeModule(layout, "ends2.it").c_str());
    EXPECT_FALSE(playback.backend->ended(next));
    EXPECT_TRUE(playback.backend->ended(playback.handle)) << "the replaced module's handle is stale";
}

TEST(SdlAudioBackend, FailsWithoutADriverAndOnTheDummyOneHearsWhereSetPositionPutTheDemosModule)
{
    ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    platform::SdlAudioBackend backend;
    EXPECT_FALSE(backend.openDevice(rate));
    EXPECT_FALSE(backend.lastError().empty());
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_TRUE(backend.openDevice(rate)) << backend.lastError();
    const uint32_t handle = backend.loadModule("data/mordel.it");
    ASSERT_NE(handle, 0u) << backend.lastError();
    backend.startOutput();
    backend.setPositionScaler(handle, scaler);
    backend.playFrom(handle, 0, true);
    // near the end of order 5 (32-row patterns), then wait to hear order 6
    ASSERT_EQ(backend.setPosition(handle, 5 | (28u << 16)), 1);
    EXPECT_EQ(backend.setPosition(handle, 15), 0); // past the last order: ignored
    uint64_t last = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (last >> 16 != 6 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const uint64_t heard = key(backend.position(handle));
        ASSERT_GE(heard, last) << "the heard position went backwards";
        last = heard;
    }
    EXPECT_EQ(last >> 16, 6u);
}

} // namespace
