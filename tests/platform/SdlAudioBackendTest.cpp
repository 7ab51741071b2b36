// The real-time backend driven by a fake device whose audible frame is known exactly.
#include "platform/SdlAudioBackend.h"

#include "platform/FakeAudioDevice.h"
#include "platform/TestModule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>
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
    const std::vector<uint8_t> bytes = testing_support::makeTestModule(layout);
    const std::string path = testing::TempDir() + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return path;
}

// A backend on a fake device, started the way the music player starts it.
struct Playback {
    Playback(const std::string& path, int period, int latency, int maxLate = 0, double driftPpm = 0.0)
    {
        auto fake = std::make_unique<FakeAudioDevice>(period, latency, maxLate, driftPpm);
        device = fake.get();
        backend = std::make_unique<platform::SdlAudioBackend>(std::move(fake));
        EXPECT_TRUE(backend->openDevice(rate));
        backend->setVolume(100);
        handle = backend->loadModule(path.c_str());
        EXPECT_NE(handle, 0u) << backend->lastError();
        backend->play(handle);
        backend->startOutput();
        backend->setPositionScaler(handle, scaler);
        backend->playFrom(handle, 0, true);
        backend->play(handle);
        backend->setPosition(handle, 0);
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

    struct Device {
        int period, latency, maxLate;
        double driftPpm;
    };
    for (const Device d : {Device{1024, 1024, 0, 0.0}, Device{1024, 2048, 600, 0.0}, Device{512, 1536, 300, 300.0},
                           Device{256, 4096, 0, -300.0}}) {
        Playback playback(path, d.period, d.latency, d.maxLate, d.driftPpm);
        for (int frame = 0; frame < 60 * 8; ++frame) {
            playback.device->advance(videoFrame * (frame % 3 == 0 ? 0.7 : 1.15)); // not in step with callbacks
            const int64_t audible = static_cast<int64_t>(playback.device->trueAudibleFrame());
            ASSERT_NEAR(static_cast<double>(playback.backend->audibleFrame()), static_cast<double>(audible),
                        framesPerVideoFrame) << "latency " << d.latency << ", video frame " << frame;
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

TEST(SdlAudioBackend, SpectrumIsOfTheFramesJustHeard)
{
    Playback playback(writeModule(TestModuleLayout{4, 4, 6, 125, true}, "spectrum.it"), 1024, 3072);
    platform::Spectrum reference;
    std::vector<float> mono(platform::Spectrum::size);
    std::vector<float> expected(platform::spectrumBins);
    std::vector<float> got(platform::spectrumBins);
    for (int frame = 0; frame < 40; ++frame) {
        playback.device->advance(videoFrame);
        playback.backend->spectrum(playback.handle, got.data());
        const uint64_t end = playback.backend->audibleFrame(); // the same clock reading
        ASSERT_NEAR(static_cast<double>(end), static_cast<double>(playback.device->trueAudibleFrame()), 1.0);
        const std::vector<float>& out = playback.device->output();
        for (int i = 0; i < platform::Spectrum::size; ++i) {
            const int64_t at = static_cast<int64_t>(end) - platform::Spectrum::size + i;
            mono[i] = at < 0 ? 0.0f : 0.5f * (out[2 * at] + out[2 * at + 1]);
        }
        reference.compute(mono.data(), expected.data());
        for (int k = 0; k < platform::spectrumBins; ++k) {
            ASSERT_NEAR(got[k], expected[k], 1e-6f) << "video frame " << frame << ", bin " << k;
        }
    }
}

TEST(SdlAudioBackend, OutputsSilenceUntilPlayedAndAfterTheEnd)
{
    const TestModuleLayout layout{1, 4, 6, 125, true};
    auto fake = std::make_unique<FakeAudioDevice>(1024, 2048);
    FakeAudioDevice* device = fake.get();
    platform::SdlAudioBackend backend(std::move(fake));
    ASSERT_TRUE(backend.openDevice(rate));
    const uint32_t handle = backend.loadModule(writeModule(layout, "end.it").c_str());
    backend.startOutput();
    device->advance(0.2);
    const size_t silent = device->output().size() / 2;
    backend.play(handle);
    device->advance(1.0);

    const std::vector<float>& out = device->output();
    const size_t end = silent + static_cast<size_t>(testing_support::rowFrames(layout, rate) * layout.rows);
    for (size_t i = 0; i < out.size(); ++i) {
        if (i / 2 < silent || i / 2 >= end + ModuleRenderer::stepFrames) {
            ASSERT_EQ(out[i], 0.0f) << "frame " << i / 2;
        }
    }
    EXPECT_NE(out[2 * (end - 100)], 0.0f);
    EXPECT_EQ(backend.position(handle), 3u << 16); // order 0, last row; scaler 1 by default

    // Space at the last order asks for one past the end: ignored and reported as 0,
    // as is a row past the pattern's end
    EXPECT_EQ(backend.setPosition(handle, 1), 0);
    EXPECT_EQ(backend.setPosition(handle, 0 | (4u << 16)), 0);
    EXPECT_EQ(backend.setPosition(handle, 0 | (2u << 16)), 1);
    device->advance(0.1);
    EXPECT_EQ(backend.position(handle), 2u << 16);
    EXPECT_EQ(backend.setPosition(handle, 0), 1); // row 0 strikes the tone again
    device->advance(0.1);
    EXPECT_NE(*std::max_element(out.end() - 2000, out.end()), 0.0f) << "an ended module did not play again";
    // a stale handle is ignored too
    EXPECT_NE(backend.loadModule(writeModule(layout, "end2.it").c_str()), handle);
    EXPECT_EQ(backend.setPosition(handle, 0), 0);
    EXPECT_EQ(backend.position(handle), 0u);
}

} // namespace
