// When each part of the module was heard: the reference's row starts carried through
// the alignment into the recording, and through the recorder's clock onto
// CLOCK_MONOTONIC.
#pragma once

#include "CaptureClock.h"
#include "ModuleRows.h"
#include "RecordingAligner.h"

#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace syncbench {

class HeardTimeline {
public:
    // Keeps references to the aligner and the clock: both must outlive the timeline.
    HeardTimeline(std::vector<RowStart> rows, const RecordingAligner& aligner, const CaptureClock& clock);

    const std::vector<RowStart>& rows() const { return starts; }

    // The reference frame at which a row, `fraction` of it played, stands; nullopt for
    // a row the reference never reaches. A row played twice counts from its first time.
    std::optional<double> referenceFrameOf(int order, int row, double fraction) const;
    // CLOCK_MONOTONIC seconds at which a reference frame was heard; nullopt where the
    // recording does not show it.
    std::optional<double> heardAt(double referenceFrame) const;

private:
    std::vector<RowStart> starts;
    std::map<std::pair<int, int>, size_t> firstStart; // (order, row) -> index into starts
    const RecordingAligner& alignment;
    const CaptureClock& capture;
};

} // namespace syncbench
