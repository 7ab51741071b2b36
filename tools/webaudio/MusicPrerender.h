// The module rendered once, natively, for the browser: its audio, and the table that
// says which row each frame of that audio belongs to.
#pragma once

#include "platform/audio/PositionTable.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

// Takes each block of interleaved stereo floats as it is rendered; false stops.
using AudioSink = std::function<bool(const float* interleavedStereo, size_t frames)>;

// Renders the module file from its start to its end (at most maxSeconds) at the given
// rate. None, with the cause in `error`, when the file is no module or the sink fails.
std::optional<platform::PositionTable> prerenderMusic(
    const char* modulePath, int sampleRate, double maxSeconds, const AudioSink& sink, std::string& error);
