// The running mean weighs the last few dozen frames.
#include "app/FrameLatency.h"

#include <algorithm>

namespace {

constexpr double weight = 0.1; // of the newest frame

} // namespace

void FrameLatency::frameShown(double readAt, double presentedAt, double displayDelay)
{
    const double frame = std::clamp(presentedAt - readAt, 0.0, longestFrame);
    drawToPresent = measured ? drawToPresent + weight * (frame - drawToPresent) : frame;
    measured = true;
    display = std::max(displayDelay, 0.0);
}
