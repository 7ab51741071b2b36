// The real-time backend driven by a fake device whose heard frame is known exactly,
// and on SDL's dummy driver with the demo's own module.
#include "platform/audio/openmpt/RealTimeAudioBackend.h"

#include "platform/audio/MusicPosition.h"
#include "support/FakeAudioDevice.h"
#include "support/TestFolder.h"
#include "support/TestModule.h"

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
uint64_t key(uint64_t packed)
{
    return (uint64_t(platform::orderOf(packed)) << 16) | uint64_t(platform::highOf(packed));
}
unsigned orderOf(uint64_t packed)
{
    return static_cast<unsigned>(platform::orderOf(packed));
}
unsigned rowOf(uint64_t packed)
{
    return static_cast<unsigned>(platform::rowOf(packed, scaler));
}

std::string writeModule(
    const testsupport::TestFolder& folder, const TestModuleLayout& layout, const char* name)
{
    return folder.write(name, testing_support::makeTestModule(layout));
}

// Where the music stands at every chunk when played straight through, rendered offline.
class Reference {
public:
    Reference(const std::string& path, double seconds)
    {
        ModuleRenderer renderer(rate);
        EXPECT_TRUE(renderer.loadFile(path.c_str()));
        std::vector<float> buffer(2 * ModuleRenderer::chunkFrames);
        for (int i = 0; i < seconds * rate / ModuleRenderer::chunkFrames; ++i) {
            renderer.render(buffer.data(), ModuleRenderer::chunkFrames);
            const platform::ModulePosition position = renderer.positionAt(renderer.renderedFrames() - 1);
            keys.push_back(key(platform::packPosition(position, scaler)));
        }
    }
    uint64_t at(double frame) const
    {
        const auto chunk = static_cast<int64_t>(frame) / ModuleRenderer::chunkFrames;
        return keys[static_cast<size_t>(
            std::clamp<int64_t>(chunk, 0, static_cast<int64_t>(keys.size()) - 1))];
    }

private:
    std::vector<uint64_t> keys;
};

// A backend on a fake device, started the way the music player starts it.
struct Playback {
    Playback(const std::string& path, int period, int latency, int maxLate = 0, double driftPpm = 0.0,
        bool serverClock = true)
    {
        auto fake = std::make_unique<FakeAudioDevice>(period, latency, maxLate, driftPpm);
        fake->serverClock = serverClock;
        device = fake.get();
        backend = std::make_unique<platform::RealTimeAudioBackend>(std::move(fake));
        EXPECT_TRUE(backend->openDevice(rate));
        handle = backend->loadModule(path.c_str());
        EXPECT_NE(handle, 0u) << backend->lastError();
        backend->play(handle);
        backend->startOutput();
        backend->setPositionScaler(handle, scaler);
        backend->playFrom(handle, 0, true);
    }
    FakeAudioDevice* device = nullptr;
    std::unique_ptr<platform::RealTimeAudioBackend> backend;
    uint32_t handle = 0;
};

TEST(RealTimeAudioBackend, ReportsThePositionHeardFromTheServersClockOrFromCallbackTiming)
{
    const testsupport::TestFolder folder;
    const std::string path = writeModule(folder, TestModuleLayout { 3, 16, 6, 125, true }, "offset.it");
    const Reference reference(path, 12.0);

    // period, latency and lateness in frames, drift in ppm, server clock; the allowed
    // error in frames: one chunk with the server's clock, one video frame without
    const int devices[][6]
        = { { 1024, 1024, 0, 0, 0, framesPerVideoFrame }, { 1024, 2048, 600, 0, 0, framesPerVideoFrame },
              { 512, 1536, 300, 300, 0, framesPerVideoFrame }, { 256, 4096, 0, -300, 0, framesPerVideoFrame },
              { 2048, 3500, 900, 300, 1, ModuleRenderer::chunkFrames },
              { 441, 8820, 0, 0, 1, ModuleRenderer::chunkFrames } };
    for (const auto& [period, latency, maxLate, driftPpm, serverClock, tolerance] : devices) {
        Playback playback(path, period, latency, maxLate, driftPpm, serverClock != 0);
        for (int frame = 0; frame < 60 * 8; ++frame) {
            playback.device->advance(
                videoFrame * (frame % 3 == 0 ? 0.7 : 1.15)); // not in step with callbacks
            const double audible = static_cast<double>(playback.device->trueAudibleFrame());
            ASSERT_NEAR(static_cast<double>(playback.backend->audibleFrame()), audible, tolerance)
                << "latency " << latency << ", video frame " << frame;
            const uint64_t reported = key(playback.backend->position(playback.handle));
            ASSERT_GE(reported, reference.at(audible - tolerance)) << "video frame " << frame;
            ASSERT_LE(reported, reference.at(audible + tolerance)) << "video frame " << frame;
            ASSERT_EQ(playback.device->heldLocks(), 0);
        }
    }
}

TEST(RealTimeAudioBackend, ReadsThePositionForTheLeadTimeAheadEvenBeyondWhatTheDeviceHolds)
{
    const testsupport::TestFolder folder;
    const std::string path = writeModule(folder, TestModuleLayout { 3, 16, 6, 125, true }, "lead.it");
    const Reference reference(path, 6.0);
    // a device holding 93 ms, and one holding 6 ms (a PipeWire graph at a small quantum)
    for (const int held : { 4096, 256 }) {
        Playback playback(path, held == 256 ? 256 : 1024, held);
        playback.backend->setLeadTime(0.040);
        for (int frame = 0; frame < 120; ++frame) {
            playback.device->advance(videoFrame);
            const double seen = static_cast<double>(playback.device->trueAudibleFrame()) + 0.040 * rate;
            ASSERT_NEAR(
                static_cast<double>(playback.backend->audibleFrame()), seen, ModuleRenderer::chunkFrames)
                << "device holding " << held << " frames";
            const uint64_t reported = key(playback.backend->position(playback.handle));
            ASSERT_GE(reported, reference.at(seen - ModuleRenderer::chunkFrames));
            ASSERT_LE(reported, reference.at(seen + ModuleRenderer::chunkFrames));
        }
    }
}

TEST(RealTimeAudioBackend, ASkipShowsOnTheNextFrameAndEachOneASkipFurther)
{
    const testsupport::TestFolder folder;
    // 93 ms held by the device: four video frames pass before a skip is heard
    Playback playback(writeModule(folder, TestModuleLayout { 12, 32, 6, 125, true }, "skip.it"), 1024, 4096);
    playback.device->advance(0.5);
    ASSERT_EQ(orderOf(playback.backend->position(playback.handle)), 0u);
    for (unsigned press = 1; press <= 6; ++press) {
        // one Space press per frame, as the main loop makes it: the order read plus one
        const unsigned order = orderOf(playback.backend->position(playback.handle));
        ASSERT_EQ(playback.backend->setPosition(playback.handle, order + 1), 1);
        playback.device->advance(videoFrame);
        const uint64_t next = playback.backend->position(playback.handle);
        ASSERT_EQ(orderOf(next), press) << "press " << press;
        ASSERT_EQ(rowOf(next), 0u);
    }
    // once the device's buffer is heard, the music goes on from the last skip's start
    uint64_t last = playback.backend->position(playback.handle);
    for (int frame = 0; frame < 30; ++frame) {
        playback.device->advance(videoFrame);
        const uint64_t heard = playback.backend->position(playback.handle);
        ASSERT_EQ(orderOf(heard), 6u);
        ASSERT_GE(key(heard), key(last)) << "went backwards";
        last = heard;
    }
    EXPECT_GE(rowOf(last), 3u);
    // and what the device was handed after the skip is the new order's sound
    EXPECT_TRUE(std::any_of(playback.device->lastBuffer().begin(), playback.device->lastBuffer().end(),
        [](float sample) { return sample != 0.0f; }));
}

TEST(RealTimeAudioBackend, WhenTheDeviceIsGoneTheMusicGoesOnSilentlyOnTheSystemClock)
{
    const testsupport::TestFolder folder;
    const std::string path = writeModule(folder, TestModuleLayout { 6, 16, 6, 125, true }, "lost.it");
    const Reference reference(path, 12.0);
    for (const bool reported : { true, false }) {
        Playback playback(path, 1024, 4096);
        for (int frame = 0; frame < 60; ++frame) {
            playback.device->advance(videoFrame);
            playback.backend->position(playback.handle); // polled every frame, as the demo does
        }
        const double stoppedAt = playback.device->now();
        const double heardAtStop = static_cast<double>(playback.device->trueAudibleFrame());
        playback.device->stop(reported); // a lost server, or callbacks that just stop
        for (int frame = 0; frame < 60 * 4; ++frame) {
            playback.device->advance(videoFrame);
            const uint64_t position = key(playback.backend->position(playback.handle));
            const double elapsed = playback.device->now() - stoppedAt;
            if (reported || elapsed > platform::RealTimeAudioBackend::stallSeconds + videoFrame) {
                const double expected = heardAtStop + elapsed * rate;
                ASSERT_GE(position, reference.at(expected - framesPerVideoFrame)) << "at " << elapsed << " s";
                ASSERT_LE(position, reference.at(expected + framesPerVideoFrame)) << "at " << elapsed << " s";
            }
        }
    }
}

TEST(RealTimeAudioBackend, EndedOnlyOnceTheMusicsLastFrameIsHeard)
{
    const testsupport::TestFolder folder;
    // 80 ms of music (8 rows of 441 frames) behind 93 ms of device latency: the
    // renderer finishes long before the listener hears the end
    const TestModuleLayout layout { 2, 4, 1, 250, true };
    const double musicEnd = 8 * testing_support::rowFrames(layout, rate);
    Playback playback(writeModule(folder, layout, "ends.it"), 256, 4096);
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
    const uint32_t next = playback.backend->loadModule(writeModule(folder, layout, "ends2.it").c_str());
    EXPECT_FALSE(playback.backend->ended(next));
    EXPECT_TRUE(playback.backend->ended(playback.handle)) << "the replaced module's handle is stale";
}

TEST(RealTimeAudioBackend, FailsWithoutADriverAndOnTheDummyOneHearsWhereSetPositionPutTheDemosModule)
{
    ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    platform::RealTimeAudioBackend failing;
    EXPECT_FALSE(failing.openDevice(rate));
    EXPECT_FALSE(failing.lastError().empty());
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    platform::RealTimeAudioBackend backend;
    ASSERT_TRUE(backend.openDevice(rate)) << backend.lastError();
    EXPECT_EQ(backend.deviceName(), "SDL2 dummy");
    const uint32_t handle = backend.loadModule("data/mordel.it");
    ASSERT_NE(handle, 0u) << backend.lastError();
    backend.startOutput();
    backend.setPositionScaler(handle, scaler);
    backend.playFrom(handle, 0, true);
    // near the end of order 5 (32-row patterns), then wait to hear order 6
    ASSERT_EQ(backend.setPosition(handle, platform::packPosition(5, 28)), 1);
    EXPECT_EQ(orderOf(backend.position(handle)), 5u); // at once
    EXPECT_EQ(backend.setPosition(handle, 15), 0);    // past the last order: ignored
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
