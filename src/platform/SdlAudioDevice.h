// The SDL2 audio device: stereo float at the asked rate, driven by SDL's audio thread.
#pragma once

#include "platform/AudioDevice.h"

#include <cstdint>

namespace platform {

class SdlAudioDevice : public AudioDevice {
public:
    ~SdlAudioDevice() override;

    bool open(int frequency, Callback callback, void* user) override;
    void close() override;
    void pause(bool paused) override;
    void lock() override;
    void unlock() override;
    int bufferFrames() const override { return heldFrames; }
    double now() const override;
    std::string lastError() const override { return error; }

private:
    static void sdlCallback(void* self, uint8_t* stream, int bytes);

    uint32_t device = 0; // SDL_AudioDeviceID, 0 while closed
    Callback callback = nullptr;
    void* user = nullptr;
    int heldFrames = 0;
    std::string error;
};

} // namespace platform
