// SDL2 audio output. SDL2 reports no output latency, so what the device holds after a
// callback is assumed per driver: the buffer just handed over, plus one more period
// queued in the hardware or server for real drivers; the dummy and disk drivers
// consume the buffer on their own clock, so they hold only it. ALSA's own complaints
// (a missing card on a machine without sound) are kept off stderr: the demo's error
// message says what failed.
#include "platform/audio/sdl/SdlAudioDevice.h"

#include "platform/Clock.h"
#include "platform/DebugOutput.h"

#include <SDL.h>
#include <alsa/asoundlib.h>

#include <cstdarg>
#include <cstdio>

namespace platform {

namespace {

constexpr int callbackFrames = 1024; // 23 ms at 44100 Hz

// alsa-lib's errors go to the debug channel instead of stderr.
void alsaToDebug(const char* file, int line, const char* function, int, const char* format, ...)
{
    char message[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(message, sizeof message, format, arguments);
    va_end(arguments);
    char text[768];
    std::snprintf(text, sizeof text, "ALSA %s:%d (%s): %s\n", file, line, function, message);
    debugOutput(text);
}

// Periods the driver holds beyond the one just handed over.
int queuedPeriods(const std::string& driver)
{
    return driver == "dummy" || driver == "disk" ? 0 : 1;
}

} // namespace

SdlAudioDevice::~SdlAudioDevice()
{
    close();
}

bool SdlAudioDevice::open(int frequency, Callback newCallback, void* newUser)
{
    close();
    snd_lib_error_set_handler(alsaToDebug);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = std::string("SDL audio: ") + SDL_GetError();
        return false;
    }
    callback = newCallback;
    user = newUser;

    SDL_AudioSpec want {};
    want.freq = frequency;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = callbackFrames;
    want.callback = &SdlAudioDevice::sdlCallback;
    want.userdata = this;
    SDL_AudioSpec have {};
    // no allowed changes: SDL converts to whatever the hardware wants
    device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device == 0) {
        error = std::string("SDL audio device: ") + SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    const char* current = SDL_GetCurrentAudioDriver();
    driver = current ? current : "";
    heldAfterCallback = static_cast<double>(have.samples) * (1 + queuedPeriods(driver));
    handedFrames = 0;
    clock = CallbackClock(frequency);
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
    return monotonicSeconds();
}

bool SdlAudioDevice::lost()
{
    // SDL stops a device whose hardware or server went away
    return device != 0 && SDL_GetAudioDeviceStatus(device) == SDL_AUDIO_STOPPED;
}

void SdlAudioDevice::sdlCallback(void* self, uint8_t* stream, int bytes)
{
    auto* device = static_cast<SdlAudioDevice*>(self);
    const int frames = bytes / static_cast<int>(2 * sizeof(float));
    device->callback(device->user, reinterpret_cast<float*>(stream), frames);
    device->handedFrames += static_cast<uint64_t>(frames);
    device->clock.callback(device->now(), device->handedFrames, device->heldAfterCallback);
}

} // namespace platform
