// Which audio devices the real-time backend tries, best first.
#pragma once

#include "platform/audio/AudioDevice.h"

#include <memory>
#include <vector>

namespace platform {

// SDL_AUDIODRIVER=pulseaudio or =pipewire picks that sound server's own API; another
// value picks SDL2 with that driver. Unset: the PulseAudio API (which PulseAudio and
// PipeWire's pulse server both answer), PipeWire's own, then SDL2's choice.
std::vector<std::unique_ptr<AudioDevice>> audioDeviceCandidates();

} // namespace platform
