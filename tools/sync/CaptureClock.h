// When each recorded frame was captured, on CLOCK_MONOTONIC, from the record stream's
// latency readings. A null sink plays on the system's clock, so capture time against
// frame index is a straight line (its slope off by the sink's rounding of period
// lengths); single readings stray from it, and for a while after the stream starts
// they can be far off. The clock is that line, fitted to the readings that agree.
#pragma once

#include "SyncLogs.h"

#include <vector>

namespace syncbench {

class CaptureClock {
public:
    CaptureClock(const std::vector<CaptureStamp>& stamps, int sampleRate);

    bool valid() const { return readings > 0; }
    // Seconds at which recorded frame `frame` was captured.
    double timeOf(double frame) const { return start + frame * secondsPerFrame; }
    // The recorded frame captured at `seconds`.
    double frameAt(double seconds) const { return (seconds - start) / secondsPerFrame; }
    // How far the readings kept stray from the line: the 95th percentile, milliseconds.
    double scatterMs() const { return scatter; }
    // Share of the readings left out as too far off, 0..1.
    double rejectedShare() const { return rejected; }

private:
    double start = 0.0;           // capture time of frame 0
    double secondsPerFrame = 0.0; // the sink's period, as the readings say
    double scatter = 0.0;
    double rejected = 0.0;
    size_t readings = 0;
};

} // namespace syncbench
