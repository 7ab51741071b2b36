// The real-time backend on real sound servers with a null sink: PulseAudio, PipeWire
// through its pulse server, and PipeWire's own API. The servers are started here.
#include "support/SoundServer.h"
#include "platform/MusicPosition.h"
#include "platform/RealTimeAudioBackend.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <utility>
#include <vector>

namespace {

using testsupport::SoundServer;

constexpr int rate = 44100;
constexpr int scaler = 12;

unsigned orderOf(uint64_t packed)
{
    return static_cast<unsigned>(platform::orderOf(packed));
}
unsigned rowOf(uint64_t packed)
{
    return static_cast<unsigned>(platform::rowOf(packed, scaler));
}

double seconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void sleepFrame()
{
    std::this_thread::sleep_for(std::chrono::microseconds(16667));
}

// The rate at which the heard frame moves over the next `duration` seconds, read every
// video frame as the demo reads it: the upper quartile of its rates over one-second
// spans. An underrun only holds the heard frame back (silence is heard meanwhile), and
// on a busy machine the test's stream underruns now and then, or even most of the
// time; nothing makes the heard frame run ahead, so the quickest spans are those
// nothing disturbed, and their rate is the clock's. A clock read at the wrong rate
// moves them all. A reading during which this test lost the processor is left out.
double heardRate(platform::RealTimeAudioBackend& backend, uint32_t handle, double duration)
{
    std::vector<std::pair<double, double>> readings; // seconds, heard frame
    const double start = seconds();
    while (seconds() - start < duration) {
        backend.position(handle);
        const double before = seconds();
        const double frame = static_cast<double>(backend.audibleFrame());
        const double after = seconds();
        if (after - before < 0.002)
            readings.emplace_back(0.5 * (before + after), frame);
        sleepFrame();
    }
    std::vector<double> rates;
    size_t later = 0;
    for (const auto& [at, frame] : readings) {
        while (later < readings.size() && readings[later].first - at < 1.0)
            ++later;
        if (later == readings.size())
            break;
        rates.push_back((readings[later].second - frame) / (readings[later].first - at));
    }
    if (rates.empty())
        return 0.0;
    const auto upperQuartile = rates.begin() + rates.size() * 3 / 4;
    std::nth_element(rates.begin(), upperQuartile, rates.end());
    return *upperQuartile;
}

struct Server {
    const char* name;
    SoundServer::Kind kind;
    const char* driver; // SDL_AUDIODRIVER
    const char* device; // the backend's device that should open
};

class RealServer : public ::testing::TestWithParam<Server> { };

TEST_P(RealServer, HearsTheMusicAtItsRateSkipsOnTheNextFrameAndOutlivesTheServer)
{
    const testsupport::TestFolder folder;
    std::string why;
    std::unique_ptr<SoundServer> server = SoundServer::start(GetParam().kind, folder.path(), why);
    ASSERT_TRUE(server) << why;
    ::setenv("SDL_AUDIODRIVER", GetParam().driver, 1);
    platform::RealTimeAudioBackend backend;
    ASSERT_TRUE(backend.openDevice(rate)) << backend.lastError();
    EXPECT_EQ(backend.deviceName(), GetParam().device);
    const uint32_t handle = backend.loadModule("data/mordel.it");
    ASSERT_NE(handle, 0u) << backend.lastError();
    backend.play(handle);
    // A null sink that has been idle sleeps for up to two seconds before it takes a
    // new stream; the demo's loading takes that long anyway.
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    backend.startOutput();
    backend.setPositionScaler(handle, scaler);
    backend.playFrom(handle, 0, true);

    // the heard frame follows the wall clock once the stream runs
    for (int frame = 0; frame < 30; ++frame) {
        backend.position(handle);
        sleepFrame();
    }
    // a clock read at the wrong rate (the graph's 48000 Hz) would be 8 to 9 % off
    EXPECT_NEAR(heardRate(backend, handle, 6.0), rate, rate * 0.05);

    // one skip per frame, each shown on the next frame
    for (unsigned press = 1; press <= 4; ++press) {
        const unsigned order = orderOf(backend.position(handle));
        ASSERT_EQ(backend.setPosition(handle, order + 1), 1);
        sleepFrame();
        ASSERT_EQ(orderOf(backend.position(handle)), order + 1) << "press " << press;
    }
    const unsigned skippedTo = orderOf(backend.position(handle));
    for (int frame = 0; frame < 30; ++frame) {
        sleepFrame();
        ASSERT_EQ(orderOf(backend.position(handle)), skippedTo);
    }
    EXPECT_GE(rowOf(backend.position(handle)), 2u) << "the skipped-to order is not heard going on";

    // the server dies: the music goes on without it, at the same rate
    server->kill();
    const double diedAt = seconds();
    while (seconds() - diedAt < platform::RealTimeAudioBackend::stallSeconds + 0.5) {
        backend.position(handle);
        sleepFrame();
    }
    EXPECT_NEAR(heardRate(backend, handle, 2.0), rate, rate * 0.02);
    backend.closeDevice();
}

INSTANTIATE_TEST_SUITE_P(Servers, RealServer,
    ::testing::Values(Server { "PulseAudio", SoundServer::Kind::pulseAudio, "pulseaudio", "PulseAudio" },
        Server { "PipeWirePulse", SoundServer::Kind::pipeWire, "pulseaudio", "PulseAudio" },
        Server { "PipeWire", SoundServer::Kind::pipeWire, "pipewire", "PipeWire" }),
    [](const ::testing::TestParamInfo<Server>& info) { return std::string(info.param.name); });

} // namespace
