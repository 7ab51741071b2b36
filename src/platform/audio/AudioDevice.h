// The output device under the real-time audio backend: a sound server's own stream
// (PulseAudio, PipeWire), an SDL2 device, or a fake with a scripted clock in tests.
// Stereo interleaved float samples, pulled through a callback.
#pragma once

#include <string>

namespace platform {

class AudioDevice {
public:
    // Fills every frame of the buffer; runs on the device's own thread with the
    // device locked. Must not throw, block or allocate.
    using Callback = void (*)(void* user, float* interleavedStereo, int frames);

    virtual ~AudioDevice() = default;

    // Opens at the given rate, stereo float, output paused. False when there is no
    // usable device; lastError() then names the cause.
    virtual bool open(int frequency, Callback callback, void* user) = 0;
    virtual void close() = 0;
    virtual void pause(bool paused) = 0;
    // Keeps the callback from running; no-ops while the device is closed.
    virtual void lock() = 0;
    virtual void unlock() = 0;

    // How many of the frames the callback filled since open are heard by time t (on
    // now()'s clock; a moment shortly ahead is extrapolated at the nominal rate), as
    // the device's own timing says. -1 while it cannot tell yet. With the device locked.
    virtual double heardFramesAt(double t) = 0;
    // CLOCK_MONOTONIC, in seconds.
    virtual double now() const = 0;
    // True once the device has stopped for good (its sound server went away).
    virtual bool lost() { return false; }
    // What plays the sound, for messages: "PulseAudio", "PipeWire", "SDL2 alsa".
    virtual std::string name() const = 0;
    virtual std::string lastError() const = 0;
};

} // namespace platform
