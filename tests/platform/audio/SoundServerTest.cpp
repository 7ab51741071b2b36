// The real-time backend on real sound servers with a null sink: PulseAudio, PipeWire
// through its pulse server, and PipeWire's own API. The servers are started here.
#include "support/SoundServer.h"
#include "platform/audio/MusicPosition.h"
#include "platform/audio/openmpt/RealTimeAudioBackend.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <string>
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

// How fast the heard frame moves, two ways, over readings taken every video frame as
// the demo reads the position. On a busy machine each can stray from the clock's rate
// while the other keeps it: an underrun holds the heard frame back for good (silence
// was heard), which leaves the quickest one-second spans at the clock's rate; a server
// clock interpolated between late reports (PulseAudio's) lags and then catches up in
// a jump, which leaves the rate over the whole stretch at the clock's. A clock read at
// the wrong rate moves both.
struct HeardRate {
    double whole = 0.0;      // from the first reading to the last
    double quickSpans = 0.0; // the upper quartile of the rates over one-second spans

    bool near(double expected, double tolerance) const
    {
        return std::abs(whole - expected) <= tolerance || std::abs(quickSpans - expected) <= tolerance;
    }
};

std::ostream& operator<<(std::ostream& out, const HeardRate& heard)
{
    return out << heard.whole << " Hz over the whole stretch, " << heard.quickSpans
               << " Hz over the quickest spans";
}

// Reads the heard frame for `duration` seconds, leaving out readings during which this
// test lost the processor, and writes them ("<seconds> <heard frame>") to `log`.
HeardRate heardRate(
    platform::RealTimeAudioBackend& backend, uint32_t handle, double duration, const std::string& log)
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
    std::ofstream file(log);
    file.precision(9);
    for (const auto& [at, frame] : readings)
        file << at << ' ' << frame << '\n';
    HeardRate heard;
    if (readings.size() < 2)
        return heard;
    heard.whole = (readings.back().second - readings.front().second)
        / (readings.back().first - readings.front().first);
    std::vector<double> rates;
    size_t later = 0;
    for (const auto& [at, frame] : readings) {
        while (later < readings.size() && readings[later].first - at < 1.0)
            ++later;
        if (later == readings.size())
            break;
        rates.push_back((readings[later].second - frame) / (readings[later].first - at));
    }
    if (!rates.empty()) {
        const auto upperQuartile = rates.begin() + rates.size() * 3 / 4;
        std::nth_element(rates.begin(), upperQuartile, rates.end());
        heard.quickSpans = *upperQuartile;
    }
    return heard;
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
    const HeardRate heard = heardRate(backend, handle, 6.0, folder / "heard.txt");
    EXPECT_TRUE(heard.near(rate, rate * 0.05)) << heard;

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
    const HeardRate silent = heardRate(backend, handle, 2.0, folder / "silent.txt");
    EXPECT_TRUE(silent.near(rate, rate * 0.02)) << silent;
    backend.closeDevice();
}

INSTANTIATE_TEST_SUITE_P(Servers, RealServer,
    ::testing::Values(Server { "PulseAudio", SoundServer::Kind::pulseAudio, "pulseaudio", "PulseAudio" },
        Server { "PipeWirePulse", SoundServer::Kind::pipeWire, "pulseaudio", "PulseAudio" },
        Server { "PipeWire", SoundServer::Kind::pipeWire, "pipewire", "PipeWire" }),
    [](const ::testing::TestParamInfo<Server>& info) { return std::string(info.param.name); });

} // namespace
