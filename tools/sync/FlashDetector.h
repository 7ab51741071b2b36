// Finds the moments a flash lands on screen in the grabber's brightness series: an
// update whose bands jump by far more than the frame-to-frame drift of the picture.
#pragma once

#include "SyncLogs.h"

#include <vector>

namespace syncbench {

struct FlashSettings {
    // bands summed, inclusive: the opening scene's picture covers the lower half
    int firstBand = 2;
    int lastBand = 3;
    double jump = 5.0;    // summed |change| of those bands, brightness levels
    double spacing = 0.3; // seconds: a second jump sooner belongs to the same flash
};

class FlashDetector {
public:
    explicit FlashDetector(FlashSettings settings = {})
        : settings(settings)
    {
    }

    // Onset times in CLOCK_MONOTONIC seconds, in order.
    std::vector<double> onsets(const std::vector<ScreenUpdate>& updates) const;

private:
    FlashSettings settings;
};

// The onset nearest to `beat` within `reach` seconds either side; its offset from the
// beat in seconds, or false when there is none.
bool nearestOnset(const std::vector<double>& onsets, double beat, double reach, double& offset);

} // namespace syncbench
