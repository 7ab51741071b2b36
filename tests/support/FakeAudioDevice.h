// An audio device on a scripted clock: it plays steadily (drifting from its nominal
// rate by driftPpm) from the first advance() after it is unpaused, holds latencyFrames
// after each on-time callback, calls back late by a known repeating amount of up to
// maxLateFrames. It tells the heard frame as a sound server does (exactly, from its
// own clock) or, like an SDL device, only through the callbacks' timing.
#pragma once

#include "platform/audio/AudioDevice.h"
#include "platform/audio/CallbackClock.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace testing_support {

class FakeAudioDevice : public platform::AudioDevice {
public:
    FakeAudioDevice(int periodFrames, int latencyFrames, int maxLateFrames = 0, double driftPpm = 0.0)
        : period(periodFrames)
        , latency(latencyFrames)
        , maxLate(maxLateFrames)
        , speed(1.0 + driftPpm * 1e-6)
    {
    }

    bool open(int frequency, Callback newCallback, void* newUser) override
    {
        rate = frequency;
        estimate = platform::CallbackClock(frequency);
        callback = newCallback;
        user = newUser;
        return true;
    }
    void close() override { running = false; }
    void pause(bool paused) override { running = !paused; }
    void lock() override { ++locks; }
    void unlock() override { --locks; }
    double heardFramesAt(double t) override
    {
        if (!serverClock)
            return estimate.heardAt(t);
        return started ? (t - startTime) * rate * speed : -1.0; // a moment ahead is a forecast
    }
    double now() const override { return clock; }
    bool lost() override { return gone; }
    std::string name() const override { return "fake"; }
    std::string lastError() const override { return gone ? "the fake server went away" : ""; }

    // The sound server goes away: no more callbacks, and lost() says so (or not, for a
    // device that merely stops calling back).
    void stop(bool reportLost)
    {
        running = false;
        gone = reportLost;
    }

    // Moves the clock on, running every callback that falls due on the way.
    void advance(double seconds)
    {
        const double target = clock + seconds;
        if (running && !started) {
            started = true;
            startTime = clock;
            while (handed < static_cast<uint64_t>(latency)) {
                fire(); // the queue fills before the first frame is heard
            }
        }
        while (running) {
            const double late = maxLate * static_cast<double>((calls * 7919u) % 13u) / 12.0;
            const double due
                = startTime + (static_cast<double>(handed) - latency + period + late) / (rate * speed);
            if (due > target) {
                break;
            }
            clock = std::max(clock, due);
            fire();
        }
        clock = target;
    }

    // The frame the listener hears now.
    uint64_t trueAudibleFrame() const
    {
        return started ? static_cast<uint64_t>(std::floor((clock - startTime) * rate * speed)) : 0;
    }
    uint64_t handedFrames() const { return handed; }
    int heldLocks() const { return locks; }
    // The last buffer the device was handed, interleaved stereo.
    const std::vector<float>& lastBuffer() const { return buffer; }

    bool serverClock = false; // reports the heard frame exactly instead of estimating it

private:
    void fire()
    {
        buffer.resize(2 * period);
        callback(user, buffer.data(), period);
        handed += static_cast<uint64_t>(period);
        ++calls;
        estimate.callback(clock, handed, latency);
    }

    int period;
    int latency;
    int maxLate;
    double speed;
    int rate = 44100;
    Callback callback = nullptr;
    void* user = nullptr;
    bool running = false;
    bool started = false;
    double clock = 0.0;
    double startTime = 0.0;
    uint64_t handed = 0;
    uint64_t calls = 0;
    int locks = 0;
    bool gone = false;
    platform::CallbackClock estimate { 44100 };
    std::vector<float> buffer; // interleaved stereo
};

} // namespace testing_support
