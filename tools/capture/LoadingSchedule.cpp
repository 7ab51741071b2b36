// Loading frames sampled on the video frame grid.
#include "LoadingSchedule.h"

std::vector<size_t> loadingSchedule(
    const std::vector<uint32_t>& presentTicks, uint32_t endTick, const FrameTiming& timing)
{
    std::vector<size_t> shown;
    if (presentTicks.empty() || endTick < presentTicks.front())
        return shown;
    const uint32_t first = presentTicks.front();
    const uint64_t count = timing.alignToSamples(timing.framesBefore(endTick - first));
    const uint64_t fps = static_cast<uint64_t>(timing.fps());
    size_t current = 0;
    for (uint64_t frame = 0; frame < count; ++frame) {
        // the last present at or before the frame's instant, frame * 1000 / fps ms in
        while (current + 1 < presentTicks.size()
            && static_cast<uint64_t>(presentTicks[current + 1] - first) * fps <= frame * 1000)
            ++current;
        shown.push_back(current);
    }
    return shown;
}
