// The output device under the audio backend: an SDL2 device in the program, a fake
// with a scripted clock in tests. Stereo interleaved float samples.
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
    // Frames the device still holds, unheard, right after a callback has returned.
    virtual int bufferFrames() const = 0;
    // The device's high-resolution clock, in seconds.
    virtual double now() const = 0;
    virtual std::string lastError() const = 0;
};

} // namespace platform
