// Prints how far the real-time audio layer's audible position is from the truly
// audible one on a fake device clock, for a device known only through its callbacks
// (the SDL fallback, whose sound server reports no timing), and what one spectrum()
// call costs. The sound servers' own clocks are measured by bench/sync_figures.sh.
#include "platform/audio/Spectrum.h"
#include "platform/audio/openmpt/RealTimeAudioBackend.h"
#include "support/FakeAudioDevice.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

using platform::RealTimeAudioBackend;
using testing_support::FakeAudioDevice;

constexpr int rate = 44100;
constexpr double videoFrame = 1.0 / 60.0;
constexpr int seconds = 60;

struct Scenario {
    const char* name;
    int period;
    int latency;
    int maxLate;
    double driftPpm;
};

struct Offsets {
    double meanMs = 0.0;
    double maxMs = 0.0;
};

// Polls the position once per video frame, as the main loop does, for a minute of music.
Offsets measure(const Scenario& scenario, const char* modulePath)
{
    auto fake = std::make_unique<FakeAudioDevice>(
        scenario.period, scenario.latency, scenario.maxLate, scenario.driftPpm);
    FakeAudioDevice* device = fake.get();
    RealTimeAudioBackend backend(std::move(fake));
    backend.openDevice(rate);
    const uint32_t handle = backend.loadModule(modulePath);
    if (handle == 0) {
        std::fprintf(stderr, "cannot load %s: %s\n", modulePath, backend.lastError().c_str());
        return {};
    }
    backend.play(handle);
    backend.startOutput();
    backend.setPositionScaler(handle, 12);
    backend.playFrom(handle, 0, true);

    Offsets offsets;
    const int frames = seconds * 60;
    for (int frame = 0; frame < frames; ++frame) {
        // a slightly uneven frame pace, as a real main loop has
        device->advance(videoFrame * (frame % 4 == 0 ? 0.8 : 1.0667));
        backend.update();
        backend.position(handle);
        const double error = std::fabs(static_cast<double>(backend.audibleFrame())
                                 - static_cast<double>(device->trueAudibleFrame()))
            * 1000.0 / rate;
        offsets.meanMs += error / frames;
        offsets.maxMs = std::max(offsets.maxMs, error);
    }
    backend.closeDevice();
    return offsets;
}

double nanosecondsPerCall(int calls, const std::function<void()>& call)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < calls; ++i) {
        call();
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    return std::chrono::duration<double, std::nano>(elapsed).count() / calls;
}

} // namespace

int main(int argc, char** argv)
{
    const char* modulePath = argc > 1 ? argv[1] : "data/mordel.it";

    std::printf("audible-position offset, callback timing only (SDL fallback), fake device clock, %d s polled"
                " at 60 Hz (%s)\n",
        seconds, modulePath);
    std::printf("%-34s %10s %10s\n", "device", "mean ms", "max ms");
    const Scenario scenarios[] = {
        { "1024-frame callbacks, on time", 1024, 2048, 0, 0.0 },
        { "1024-frame callbacks, late <=7 ms", 1024, 2048, 300, 0.0 },
        { "1024-frame callbacks, late <=14 ms", 1024, 2048, 600, 0.0 },
        { "  same, device clock +500 ppm", 1024, 2048, 600, 500.0 },
        { "  same, device clock -500 ppm", 1024, 2048, 600, -500.0 },
        { "512-frame callbacks, late <=3 ms", 512, 1536, 150, 0.0 },
        { "4096-frame callbacks, on time", 4096, 8192, 0, 0.0 },
    };
    for (const Scenario& scenario : scenarios) {
        const Offsets offsets = measure(scenario, modulePath);
        std::printf("%-34s %10.3f %10.3f\n", scenario.name, offsets.meanMs, offsets.maxMs);
    }

    // spectrum(): lock, copy the last 1024 heard frames, FFT
    auto fake = std::make_unique<FakeAudioDevice>(1024, 2048);
    FakeAudioDevice* device = fake.get();
    RealTimeAudioBackend backend(std::move(fake));
    backend.openDevice(rate);
    const uint32_t handle = backend.loadModule(modulePath);
    backend.play(handle);
    backend.startOutput();
    device->advance(2.0);
    std::vector<float> bins(platform::spectrumBins);
    const double backendCall = nanosecondsPerCall(20000, [&] { backend.spectrum(handle, bins.data()); });

    platform::Spectrum spectrum;
    std::vector<float> samples(platform::Spectrum::size);
    for (int i = 0; i < platform::Spectrum::size; ++i) {
        samples[i] = static_cast<float>(std::sin(0.05 * i));
    }
    const double fftOnly = nanosecondsPerCall(20000, [&] { spectrum.compute(samples.data(), bins.data()); });
    std::printf("spectrum() call: %.1f us (FFT alone %.1f us)\n", backendCall / 1000.0, fftOnly / 1000.0);
    return 0;
}
