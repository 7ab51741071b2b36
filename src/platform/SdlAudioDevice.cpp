// SDL2 audio output. SDL2 reports no output latency, so what the device holds after a
// callback is estimated from its buffer size: the buffer just handed over, plus one
// more period queued in the sound server or hardware (none for the dummy and disk
// drivers, which consume the buffer on their own clock).
#include "platform/SdlAudioDevice.h"

#include <SDL.h>

#include <cstring>

namespace platform {

namespace {

constexpr int callbackFrames = 1024; // 23 ms at 44100 Hz

} // namespace

SdlAudioDevice::~SdlAudioDevice()
{
    close();
}

bool SdlAudioDevice::open(int frequency, Callback newCallback, void* newUser)
{
    close();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = std::string("SDL audio: ") + SDL_GetError();
        return false;
    }
    callback = newCallback;
    user = newUser;

    SDL_AudioSpec want{};
    want.freq = frequency;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = callbackFrames;
    want.callback = &SdlAudioDevice::sdlCallback;
    want.userdata = this;
    SDL_AudioSpec have{};
    // no allowed changes: SDL converts to whatever the hardware wants
    device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device == 0) {
        error = std::string("SDL audio device: ") + SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    const char* driver = SDL_GetCurrentAudioDriver();
    const bool ownClock = driver != nullptr && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "disk") == 0);
    heldFrames = have.samples * (ownClock ? 1 : 2);
    return true;
}

void SdlAudioDevice::close()
{
    if (device == 0) {
        return;
    }
    SDL_CloseAudioDevice(device); // waits for a running callback to finish
    device = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlAudioDevice::pause(bool paused)
{
    if (device != 0) {
        SDL_PauseAudioDevice(device, paused ? 1 : 0);
    }
}

void SdlAudioDevice::lock()
{
    if (device != 0) {
        SDL_LockAudioDevice(device);
    }
}

void SdlAudioDevice::unlock()
{
    if (device != 0) {
        SDL_UnlockAudioDevice(device);
    }
}

double SdlAudioDevice::now() const
{
    return static_cast<double>(SDL_GetPerformanceCounter()) / static_cast<double>(SDL_GetPerformanceFrequency());
}

void SdlAudioDevice::sdlCallback(void* self, uint8_t* stream, int bytes)
{
    auto* device = static_cast<SdlAudioDevice*>(self);
    const int frames = bytes / static_cast<int>(2 * sizeof(float));
    device->callback(device->user, reinterpret_cast<float*>(stream), frames);
}

} // namespace platform
