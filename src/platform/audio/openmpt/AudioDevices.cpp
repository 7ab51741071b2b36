// The candidates, from SDL_AUDIODRIVER.
#include "platform/audio/openmpt/AudioDevices.h"

#include "platform/audio/pipewire/PipeWireDevice.h"
#include "platform/audio/pulseaudio/PulseAudioDevice.h"
#include "platform/audio/sdl/SdlAudioDevice.h"

#include <cstdlib>
#include <string>

namespace platform {

std::vector<std::unique_ptr<AudioDevice>> audioDeviceCandidates()
{
    const char* variable = std::getenv("SDL_AUDIODRIVER");
    const std::string driver = variable ? variable : "";
    std::vector<std::unique_ptr<AudioDevice>> candidates;
    if (driver.empty() || driver == "pulseaudio" || driver == "pulse")
        candidates.push_back(std::make_unique<PulseAudioDevice>());
    if (driver.empty() || driver == "pipewire")
        candidates.push_back(std::make_unique<PipeWireDevice>());
    if (candidates.empty() || driver.empty())
        candidates.push_back(std::make_unique<SdlAudioDevice>());
    return candidates;
}

} // namespace platform
