// Flash onsets from band brightness jumps.
#include "FlashDetector.h"

#include <algorithm>
#include <cmath>

namespace syncbench {

std::vector<double> FlashDetector::onsets(const std::vector<ScreenUpdate>& updates) const
{
    std::vector<double> found;
    for (size_t i = 1; i < updates.size(); ++i) {
        double change = 0.0;
        for (int band = settings.firstBand; band <= settings.lastBand; ++band) {
            change += std::fabs(updates[i].bands[band] - updates[i - 1].bands[band]);
        }
        const double seconds = static_cast<double>(updates[i].ns) * 1e-9;
        if (change >= settings.jump && (found.empty() || seconds - found.back() >= settings.spacing)) {
            found.push_back(seconds);
        }
    }
    return found;
}

bool nearestOnset(const std::vector<double>& onsets, double beat, double reach, double& offset)
{
    const auto after = std::lower_bound(onsets.begin(), onsets.end(), beat);
    double best = reach + 1.0;
    if (after != onsets.end()) {
        best = *after - beat;
    }
    if (after != onsets.begin() && beat - *(after - 1) < std::fabs(best)) {
        best = *(after - 1) - beat;
    }
    if (std::fabs(best) > reach) {
        return false;
    }
    offset = best;
    return true;
}

} // namespace syncbench
