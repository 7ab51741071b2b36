// Frame instants as exact integer ratios.
#include "platform/FrameTiming.h"

#include <cassert>
#include <numeric>

FrameTiming::FrameTiming(int fps, int sampleRate)
    : fps_(static_cast<uint64_t>(fps))
    , rate_(static_cast<uint64_t>(sampleRate))
{
    assert(fps > 0 && sampleRate > 0 && "a frame rate and a sample rate above zero");
}

uint64_t FrameTiming::tickAt(uint64_t frame) const
{
    return frame * 1000 / fps_;
}

uint64_t FrameTiming::sampleAt(uint64_t frame) const
{
    return frame * rate_ / fps_;
}

uint64_t FrameTiming::framesBefore(uint64_t milliseconds) const
{
    // frame n lies before t when n * 1000 / fps < t, i.e. n < t * fps / 1000
    return (milliseconds * fps_ + 999) / 1000;
}

uint64_t FrameTiming::alignToSamples(uint64_t frames) const
{
    // frame n starts on a whole sample offset of the grid when n * rate is a multiple of fps
    const uint64_t period = fps_ / std::gcd(fps_, rate_);
    return (frames + period - 1) / period * period;
}
