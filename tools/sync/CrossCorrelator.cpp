// Normalised cross-correlation; an iterative radix-2 FFT for the wide searches.
#include "CrossCorrelator.h"

#include <cmath>

namespace syncbench {

namespace {

// Below this many multiply-adds the direct sum beats two FFTs and an inverse.
constexpr double directWorkLimit = 4.0e6;
// A candidate stretch quieter than this share of the probe's energy is silence.
constexpr double silentShare = 1e-4;

void fft(std::vector<std::complex<double>>& a, bool inverse)
{
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) {
            j ^= bit;
        }
        j ^= bit;
        if (i < j) {
            std::swap(a[i], a[j]);
        }
    }
    for (size_t length = 2; length <= n; length <<= 1) {
        const double angle = 2.0 * M_PI / static_cast<double>(length) * (inverse ? 1.0 : -1.0);
        const std::complex<double> unit(std::cos(angle), std::sin(angle));
        for (size_t start = 0; start < n; start += length) {
            std::complex<double> w(1.0, 0.0);
            for (size_t k = 0; k < length / 2; ++k) {
                const std::complex<double> even = a[start + k];
                const std::complex<double> odd = a[start + k + length / 2] * w;
                a[start + k] = even + odd;
                a[start + k + length / 2] = even - odd;
                w *= unit;
            }
        }
    }
    if (inverse) {
        for (auto& value : a) {
            value /= static_cast<double>(n);
        }
    }
}

} // namespace

CorrelationPeak CrossCorrelator::bestFit(
    const float* probe, size_t probeSize, const float* signal, size_t signalSize)
{
    CorrelationPeak peak;
    if (probeSize == 0 || signalSize < probeSize) {
        return peak;
    }
    double probeEnergy = 0.0;
    for (size_t i = 0; i < probeSize; ++i) {
        probeEnergy += static_cast<double>(probe[i]) * probe[i];
    }
    if (probeEnergy <= 0.0) {
        return peak;
    }
    const size_t lags = signalSize - probeSize + 1;
    if (static_cast<double>(lags) * static_cast<double>(probeSize) <= directWorkLimit) {
        correlateDirect(probe, probeSize, signal, lags);
    } else {
        correlateFft(probe, probeSize, signal, signalSize);
    }

    energyPrefix.assign(signalSize + 1, 0.0);
    for (size_t i = 0; i < signalSize; ++i) {
        energyPrefix[i + 1] = energyPrefix[i] + static_cast<double>(signal[i]) * signal[i];
    }
    for (size_t lag = 0; lag < lags; ++lag) {
        const double energy = energyPrefix[lag + probeSize] - energyPrefix[lag];
        if (energy <= silentShare * probeEnergy) {
            continue;
        }
        const double score = dots[lag] / std::sqrt(energy * probeEnergy);
        if (!peak.found || score > peak.score) {
            peak.found = true;
            peak.lag = static_cast<int64_t>(lag);
            peak.score = score;
        }
    }
    return peak;
}

void CrossCorrelator::correlateDirect(const float* probe, size_t probeSize, const float* signal, size_t lags)
{
    dots.assign(lags, 0.0);
    for (size_t lag = 0; lag < lags; ++lag) {
        double sum = 0.0;
        for (size_t i = 0; i < probeSize; ++i) {
            sum += static_cast<double>(probe[i]) * signal[lag + i];
        }
        dots[lag] = sum;
    }
}

void CrossCorrelator::correlateFft(
    const float* probe, size_t probeSize, const float* signal, size_t signalSize)
{
    // no wrap-around: every lag's sum ends inside the signal, and the transform holds it
    size_t n = 1;
    while (n < signalSize) {
        n <<= 1;
    }
    probeSpectrum.assign(n, { 0.0, 0.0 });
    signalSpectrum.assign(n, { 0.0, 0.0 });
    for (size_t i = 0; i < probeSize; ++i) {
        probeSpectrum[i] = probe[i];
    }
    for (size_t i = 0; i < signalSize; ++i) {
        signalSpectrum[i] = signal[i];
    }
    fft(probeSpectrum, false);
    fft(signalSpectrum, false);
    for (size_t i = 0; i < n; ++i) {
        signalSpectrum[i] *= std::conj(probeSpectrum[i]);
    }
    fft(signalSpectrum, true);
    const size_t lags = signalSize - probeSize + 1;
    dots.resize(lags);
    for (size_t lag = 0; lag < lags; ++lag) {
        dots[lag] = signalSpectrum[lag].real();
    }
}

} // namespace syncbench
