// Module positions to heard times.
#include "HeardTimeline.h"

#include <cmath>

namespace syncbench {

HeardTimeline::HeardTimeline(
    std::vector<RowStart> rows, const RecordingAligner& aligner, const CaptureClock& clock)
    : starts(std::move(rows))
    , alignment(aligner)
    , capture(clock)
{
    for (size_t i = 0; i < starts.size(); ++i) {
        firstStart.emplace(std::make_pair(starts[i].order, starts[i].row), i);
    }
}

std::optional<double> HeardTimeline::referenceFrameOf(int order, int row, double fraction) const
{
    const auto found = firstStart.find({ order, row });
    if (found == firstStart.end()) {
        return std::nullopt;
    }
    const size_t i = found->second;
    const double start = static_cast<double>(starts[i].frame);
    if (i + 1 < starts.size()) {
        return start + fraction * static_cast<double>(starts[i + 1].frame - starts[i].frame);
    }
    if (i > 0) {
        // the last row rendered: as long as the one before it
        return start + fraction * static_cast<double>(starts[i].frame - starts[i - 1].frame);
    }
    return start;
}

std::optional<double> HeardTimeline::heardAt(double referenceFrame) const
{
    const double whole = std::floor(referenceFrame);
    const std::optional<int64_t> recorded = alignment.recordingFrameOf(static_cast<int64_t>(whole));
    if (!recorded || !capture.valid()) {
        return std::nullopt;
    }
    return capture.timeOf(static_cast<double>(*recorded) + (referenceFrame - whole));
}

} // namespace syncbench
