// The loading screen as video. The loader presents its frames at virtual ticks; a
// viewer would see each one from its present until the next, and the last one until
// the demo's first frame. The section starts at the first present and is rounded up
// to whole frames on the sample grid, so that the demo after it keeps the audio
// samples it has without the loading screen; the extra frames hold the last picture.
#pragma once

#include "platform/FrameTiming.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// For each video frame of the section, the index of the loading frame it shows.
std::vector<size_t> loadingSchedule(
    const std::vector<uint32_t>& presentTicks, uint32_t endTick, const FrameTiming& timing);
