// Makes the real-time audio backend behind the AudioBackend interface, so that the
// entry point needs no header of the audio system it plays through.
#pragma once

#include "platform/audio/AudioBackend.h"

#include <memory>

namespace platform {

// Plays through the best device the environment offers.
std::unique_ptr<AudioBackend> createRealTimeAudioBackend();

} // namespace platform
