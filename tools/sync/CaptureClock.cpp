// A straight line through the capture readings, refitted without the ones far off it.
#include "CaptureClock.h"

#include <algorithm>
#include <cmath>

namespace syncbench {

namespace {

// readings further off the line than this many median deviations are left out, but
// never those within this many seconds of it: the readings' own jitter
constexpr double keptDeviations = 4.0;
constexpr double alwaysKept = 0.5e-3;
constexpr int rounds = 4;

struct Line {
    double offset = 0.0; // at frame 0
    double slope = 0.0;  // per frame
};

// Least squares over the kept points; the frame axis is centred for precision.
Line fit(const std::vector<double>& x, const std::vector<double>& y, const std::vector<bool>& kept)
{
    double n = 0.0;
    double meanX = 0.0;
    double meanY = 0.0;
    for (size_t i = 0; i < x.size(); ++i) {
        if (kept[i]) {
            n += 1.0;
            meanX += x[i];
            meanY += y[i];
        }
    }
    meanX /= n;
    meanY /= n;
    double xx = 0.0;
    double xy = 0.0;
    for (size_t i = 0; i < x.size(); ++i) {
        if (kept[i]) {
            xx += (x[i] - meanX) * (x[i] - meanX);
            xy += (x[i] - meanX) * (y[i] - meanY);
        }
    }
    Line line;
    line.slope = xx > 0.0 ? xy / xx : 0.0;
    line.offset = meanY - line.slope * meanX;
    return line;
}

double percentile(std::vector<double> values, double share)
{
    const size_t rank
        = std::min(values.size() - 1, static_cast<size_t>(share * static_cast<double>(values.size())));
    std::nth_element(values.begin(), values.begin() + rank, values.end());
    return values[rank];
}

} // namespace

CaptureClock::CaptureClock(const std::vector<CaptureStamp>& stamps, int sampleRate)
{
    // capture time minus frame / rate: the line is nearly flat, which keeps it precise
    std::vector<double> frames;
    std::vector<double> offsets;
    for (const CaptureStamp& stamp : stamps) {
        // the stream's latency is how long ago the next frame to read was captured
        const double captured
            = static_cast<double>(stamp.nowNs) * 1e-9 - static_cast<double>(stamp.latencyUs) * 1e-6;
        const double frame = static_cast<double>(stamp.frames);
        if (!frames.empty() && frame <= frames.back()) {
            continue; // nothing read since the last reading: it adds nothing
        }
        frames.push_back(frame);
        offsets.push_back(captured - frame / sampleRate);
    }
    readings = frames.size();
    if (readings == 0) {
        return;
    }

    // Least squares would lean towards a wrong start that lasts a while; the first line
    // is flat through the median offset, which readings far off cannot move.
    std::vector<bool> kept(readings, true);
    std::vector<double> deviations(readings);
    Line line;
    line.offset = percentile(offsets, 0.5);
    for (int round = 0; round < rounds; ++round) {
        if (round > 0) {
            line = fit(frames, offsets, kept);
        }
        for (size_t i = 0; i < readings; ++i) {
            deviations[i] = std::fabs(offsets[i] - (line.offset + line.slope * frames[i]));
        }
        const double limit = std::max(keptDeviations * percentile(deviations, 0.5), alwaysKept);
        for (size_t i = 0; i < readings; ++i) {
            kept[i] = deviations[i] <= limit;
        }
    }
    line = fit(frames, offsets, kept);
    start = line.offset;
    secondsPerFrame = 1.0 / sampleRate + line.slope;

    std::vector<double> keptDeviationsMs;
    for (size_t i = 0; i < readings; ++i) {
        if (kept[i]) {
            keptDeviationsMs.push_back(std::fabs(offsets[i] - (line.offset + line.slope * frames[i])) * 1e3);
        }
    }
    scatter = percentile(keptDeviationsMs, 0.95);
    rejected = 1.0 - static_cast<double>(keptDeviationsMs.size()) / static_cast<double>(readings);
}

} // namespace syncbench
