// Finds where a short piece of sound sits inside a longer one, by normalised
// cross-correlation: directly for a few candidate lags, through an FFT for many.
#pragma once

#include <complex>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace syncbench {

struct CorrelationPeak {
    bool found = false; // false when the probe or every candidate is silent
    int64_t lag = 0;    // probe[i] matches signal[lag + i]
    double score = 0.0; // normalised correlation, 1 for an exact (scaled) copy
};

class CrossCorrelator {
public:
    // The lag in [0, signalSize - probeSize] at which the probe fits best. Stretches of
    // the signal with almost no energy next to the probe's are never a match.
    CorrelationPeak bestFit(const float* probe, size_t probeSize, const float* signal, size_t signalSize);

private:
    void correlateDirect(const float* probe, size_t probeSize, const float* signal, size_t lags);
    void correlateFft(const float* probe, size_t probeSize, const float* signal, size_t signalSize);

    std::vector<double> dots; // dot product per lag
    std::vector<double> energyPrefix;
    std::vector<std::complex<double>> probeSpectrum;
    std::vector<std::complex<double>> signalSpectrum;
};

} // namespace syncbench
