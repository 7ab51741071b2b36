// Summary figures of a set of measurements (milliseconds in this tool).
#pragma once

#include <cstddef>
#include <vector>

namespace syncbench {

struct SampleStats {
    size_t count = 0;
    double mean = 0.0;
    double spread = 0.0; // standard deviation
    double median = 0.0;
    double min = 0.0;
    double max = 0.0;
    double medianAbs = 0.0;
    double p95Abs = 0.0; // 95th percentile of the absolute values
    double maxAbs = 0.0;
};

// All zero for an empty set. Percentiles take the nearest rank.
SampleStats summarize(std::vector<double> values);

} // namespace syncbench
