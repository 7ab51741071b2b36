// The SDL2 audio device, for drivers whose sound server has no API of its own here:
// stereo float at the asked rate, driven by SDL's audio thread.
#pragma once

#include "platform/audio/AudioDevice.h"
#include "platform/audio/CallbackClock.h"

#include <cstdint>

namespace platform {

class SdlAudioDevice : public AudioDevice {
public:
    SdlAudioDevice()
        : clock(44100)
    {
    }
    ~SdlAudioDevice() override;

    bool open(int frequency, Callback callback, void* user) override;
    void close() override;
    void pause(bool paused) override;
    void lock() override;
    void unlock() override;
    double heardFramesAt(double t) override { return clock.heardAt(t); }
    double now() const override;
    bool lost() override;
    std::string name() const override { return "SDL2 " + driver; }
    std::string lastError() const override { return error; }

private:
    static void sdlCallback(void* self, uint8_t* stream, int bytes);

    uint32_t device = 0; // SDL_AudioDeviceID, 0 while closed
    Callback callback = nullptr;
    void* user = nullptr;
    double heldAfterCallback = 0.0; // frames still unheard right after a callback
    uint64_t handedFrames = 0;
    CallbackClock clock;
    std::string driver;
    std::string error;
};

} // namespace platform
