// Magnitude spectrum of 1024 mono samples: Hann window, radix-2 FFT, 512 bins.
#pragma once

#include <array>

namespace platform {

class Spectrum {
public:
    static constexpr int size = 1024;
    static constexpr int bins = size / 2;

    Spectrum();

    // bin k = |sum w[n] x[n] e^(-2 pi i k n / 1024)| * 2 / 1024 with the Hann window
    // w[n] = 0.5 (1 - cos(2 pi n / 1024)), so a constant d reads d in bin 0.
    // Uses the object's scratch buffers: one call at a time per object; no allocation.
    void compute(const float samples[size], float magnitudes[bins]);

private:
    std::array<float, size> window;
    std::array<float, bins> cosTable; // cos(2 pi k / size)
    std::array<float, bins> sinTable; // sin(2 pi k / size)
    std::array<int, size> bitReversed;
    std::array<float, size> re;
    std::array<float, size> im;
};

} // namespace platform
