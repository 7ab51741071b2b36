// The tick is always gridStart + floor(frames * 1000 / fps), so 1000/fps never rounds
// into an accumulating error.
#include "platform/VirtualClock.h"

void VirtualClock::sleep(uint32_t milliseconds)
{
    now_ += milliseconds;
    gridStart_ += milliseconds;
}

void VirtualClock::advanceFrame()
{
    ++frames_;
    now_ = gridStart_ + static_cast<uint32_t>(timing_.tickAt(frames_));
}
