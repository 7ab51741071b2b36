// Where frame n of a capture falls: its millisecond tick and its first audio sample,
// both computed from n so that nothing accumulates rounding.
#pragma once

#include <cstdint>

class FrameTiming {
public:
    FrameTiming(int fps, int sampleRate);

    int fps() const { return fps_; }
    int sampleRate() const { return rate_; }

    // Milliseconds from frame 0 to frame n: floor(n * 1000 / fps).
    uint64_t tickAt(uint64_t frame) const;
    // First audio frame (stereo sample pair) of frame n: floor(n * rate / fps).
    uint64_t sampleAt(uint64_t frame) const;
    uint64_t samplesOf(uint64_t frame) const { return sampleAt(frame + 1) - sampleAt(frame); }
    // Frames whose instant lies strictly before the given milliseconds after frame 0.
    uint64_t framesBefore(uint64_t milliseconds) const;
    // The smallest count not below `frames` after which the sample grid starts over:
    // sampleAt(count + n) - sampleAt(count) == sampleAt(n) for every n.
    uint64_t alignToSamples(uint64_t frames) const;

private:
    uint64_t fps_;
    uint64_t rate_;
};
