// The offline backend driven frame by frame as the capture drives it, against generated
// modules whose row length is a whole number of samples.
#include "platform/audio/openmpt/OfflineAudioBackend.h"
#include "platform/FrameTiming.h"
#include "platform/audio/Spectrum.h"
#include "platform/audio/openmpt/ModuleRenderer.h"
#include "support/TestFolder.h"
#include "support/TestModule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using platform::OfflineAudioBackend;
using testing_support::TestModuleLayout;

constexpr int rate = 44100;
constexpr int scaler = 12;

// Started the way the music player starts it on the demo's first frame.
uint32_t startMusic(OfflineAudioBackend& backend, const std::string& path)
{
    EXPECT_TRUE(backend.openDevice(rate));
    backend.setVolume(100);
    const uint32_t handle = backend.loadModule(path.c_str());
    EXPECT_NE(handle, 0u) << backend.lastError();
    backend.play(handle);
    backend.startOutput();
    backend.setPositionScaler(handle, scaler);
    backend.playFrom(handle, 0, true);
    backend.play(handle);
    backend.setPosition(handle, 0);
    return handle;
}

TEST(OfflineAudioBackend, ReportsTheRowOfEachFramesFirstSample)
{
    const TestModuleLayout layout { 3, 8, 6, 125, true };
    const testsupport::TestFolder folder;
    const std::string path = folder.write("rows.it", testing_support::makeTestModule(layout));
    const uint64_t rowSamples = 6 * 882; // speed 6, 882 samples a tick at tempo 125
    const uint64_t songRows = 3 * 8;

    // at each of these rates some frames start exactly on a row's first sample
    for (int fps : { 60, 30, 10 }) {
        const FrameTiming timing(fps, rate);
        OfflineAudioBackend backend;
        const uint32_t handle = startMusic(backend, path);
        int exactStarts = 0;
        std::vector<float> audio;
        for (uint64_t frame = 0; timing.sampleAt(frame + 1) < songRows * rowSamples; ++frame) {
            backend.update();
            const uint64_t packed = backend.position(handle);
            const uint64_t sample = timing.sampleAt(frame);
            const uint64_t rows = sample / rowSamples;
            ASSERT_EQ(packed & 0xFFFF, rows / 8) << fps << " fps, frame " << frame;
            ASSERT_EQ((packed >> 16) / scaler, rows % 8) << fps << " fps, frame " << frame;
            const double part = static_cast<double>(sample % rowSamples) / rowSamples * scaler;
            ASSERT_NEAR(static_cast<double>((packed >> 16) % scaler), part, 1.0)
                << fps << " fps, frame " << frame;
            exactStarts += sample % rowSamples == 0 ? 1 : 0;

            audio.resize(2 * timing.samplesOf(frame));
            backend.takeFrames(audio.data(), timing.samplesOf(frame));
        }
        EXPECT_GE(exactStarts, 3) << fps << " fps";
    }
}

TEST(OfflineAudioBackend, HandsOutTheMusicAndItsSpectrumFrameByFrame)
{
    const TestModuleLayout layout { 2, 8, 3, 150, true };
    const std::vector<uint8_t> bytes = testing_support::makeTestModule(layout);
    const testsupport::TestFolder folder;
    const std::string path = folder.write("audio.it", bytes);
    const FrameTiming timing(24, rate); // 1837.5 samples a frame: the counts alternate
    const uint64_t frames = 48;

    OfflineAudioBackend backend;
    const uint32_t handle = startMusic(backend, path);
    std::vector<float> taken;
    platform::Spectrum reference;
    for (uint64_t frame = 0; frame < frames; ++frame) {
        // the spectrum of the 1024 samples before the frame, silence before the start
        float mono[platform::Spectrum::size] = {};
        const size_t have = taken.size() / 2;
        for (size_t i = 0; i < platform::Spectrum::size; ++i) {
            const size_t back = platform::Spectrum::size - i;
            if (back <= have)
                mono[i] = 0.5f * (taken[2 * (have - back)] + taken[2 * (have - back) + 1]);
        }
        float expected[platform::spectrumBins];
        reference.compute(mono, expected);
        backend.update();
        float magnitudes[platform::spectrumBins];
        backend.spectrum(handle, magnitudes);
        for (int bin : { 0, 1, 7, 100 })
            ASSERT_FLOAT_EQ(magnitudes[bin], expected[bin]) << "frame " << frame << ", bin " << bin;

        const size_t count = timing.samplesOf(frame);
        taken.resize(taken.size() + 2 * count);
        backend.takeFrames(taken.data() + taken.size() - 2 * count, count);
    }
    ASSERT_EQ(taken.size() / 2, timing.sampleAt(frames));
    EXPECT_TRUE(std::any_of(taken.begin(), taken.end(), [](float s) { return s != 0.0f; }));

    // the same samples as the module rendered in one go
    platform::ModuleRenderer plain(rate);
    ASSERT_TRUE(plain.loadMemory(bytes.data(), bytes.size()));
    std::vector<float> straight(taken.size());
    plain.render(straight.data(), straight.size() / 2);
    for (size_t i = 0; i < taken.size(); ++i)
        ASSERT_EQ(taken[i], straight[i]) << "sample " << i / 2;
}

} // namespace
