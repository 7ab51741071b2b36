// The earliest implied start of the last 16 callbacks.
#include "platform/audio/CallbackClock.h"

#include <algorithm>
#include <limits>

namespace platform {

void CallbackClock::callback(double now, uint64_t handedFrames, double heldFrames)
{
    impliedStarts[static_cast<size_t>(callbacks) % impliedStarts.size()]
        = now - (static_cast<double>(handedFrames) - heldFrames) / rate;
    callbacks = callbacks == std::numeric_limits<int>::max() ? static_cast<int>(impliedStarts.size())
                                                             : callbacks + 1;
}

double CallbackClock::heardAt(double t) const
{
    if (callbacks == 0)
        return -1.0;
    const int known = std::min(callbacks, static_cast<int>(impliedStarts.size()));
    const double start = *std::min_element(impliedStarts.begin(), impliedStarts.begin() + known);
    return std::max((t - start) * rate, 0.0);
}

} // namespace platform
