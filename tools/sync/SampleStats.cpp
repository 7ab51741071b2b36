// Mean, spread and ranks of a sample.
#include "SampleStats.h"

#include <algorithm>
#include <cmath>

namespace syncbench {

namespace {

// nearest rank: the smallest value with at least `share` of the sample at or below it
double rank(const std::vector<double>& sorted, double share)
{
    const double position = std::ceil(share * static_cast<double>(sorted.size()));
    const size_t index = static_cast<size_t>(std::max(position, 1.0)) - 1;
    return sorted[std::min(index, sorted.size() - 1)];
}

} // namespace

SampleStats summarize(std::vector<double> values)
{
    SampleStats stats;
    if (values.empty()) {
        return stats;
    }
    stats.count = values.size();
    double sum = 0.0;
    for (double value : values) {
        sum += value;
    }
    stats.mean = sum / static_cast<double>(values.size());
    double squares = 0.0;
    for (double value : values) {
        squares += (value - stats.mean) * (value - stats.mean);
    }
    stats.spread = std::sqrt(squares / static_cast<double>(values.size()));

    std::sort(values.begin(), values.end());
    stats.min = values.front();
    stats.max = values.back();
    stats.median = rank(values, 0.5);
    for (double& value : values) {
        value = std::fabs(value);
    }
    std::sort(values.begin(), values.end());
    stats.medianAbs = rank(values, 0.5);
    stats.p95Abs = rank(values, 0.95);
    stats.maxAbs = values.back();
    return stats;
}

} // namespace syncbench
