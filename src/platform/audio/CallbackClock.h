// When a device that only calls back for more audio plays what it was given. Each
// callback implies the moment the device's first frame was heard: the frames handed so
// far, minus what the device still holds unheard, played back at the nominal rate
// before the callback's moment. A late callback only makes that moment look later, so
// the earliest of the last few is taken; the short window follows a device clock that
// drifts from the system's.
#pragma once

#include <array>
#include <cstdint>

namespace platform {

class CallbackClock {
public:
    explicit CallbackClock(int sampleRate)
        : rate(sampleRate)
    {
    }

    // After a callback that ran at `now` (seconds): the frames handed in all, and the
    // frames the device holds unheard right after it.
    void callback(double now, uint64_t handedFrames, double heldFrames);
    // Frames heard by time t; -1 before the first callback.
    double heardAt(double t) const;
    void reset() { callbacks = 0; }

private:
    int rate;
    std::array<double, 16> impliedStarts {};
    int callbacks = 0;
};

} // namespace platform
