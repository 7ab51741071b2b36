// Hann-windowed radix-2 FFT with precomputed window, twiddle and bit-reversal tables.
#include "platform/audio/Spectrum.h"

#include <cmath>

namespace platform {

namespace {

constexpr int log2Size = 10;
constexpr double twoPi = 6.283185307179586476925286766559;
static_assert((1 << log2Size) == Spectrum::size, "the FFT size is a power of two");

} // namespace

Spectrum::Spectrum()
{
    for (int n = 0; n < size; ++n) {
        window[n] = static_cast<float>(0.5 * (1.0 - std::cos(twoPi * n / size)));
        int reversed = 0;
        for (int bit = 0; bit < log2Size; ++bit) {
            if (n & (1 << bit)) {
                reversed |= 1 << (log2Size - 1 - bit);
            }
        }
        bitReversed[n] = reversed;
    }
    for (int k = 0; k < bins; ++k) {
        cosTable[k] = static_cast<float>(std::cos(twoPi * k / size));
        sinTable[k] = static_cast<float>(std::sin(twoPi * k / size));
    }
}

void Spectrum::compute(const float samples[size], float magnitudes[bins])
{
    for (int n = 0; n < size; ++n) {
        re[bitReversed[n]] = window[n] * samples[n];
        im[bitReversed[n]] = 0.0f;
    }

    // iterative Cooley-Tukey butterflies, e^(-i theta) twiddles
    for (int half = 1; half < size; half *= 2) {
        const int stride = bins / half; // twiddle index step for this stage
        for (int start = 0; start < size; start += 2 * half) {
            for (int j = 0; j < half; ++j) {
                const float wr = cosTable[j * stride];
                const float wi = -sinTable[j * stride];
                const int a = start + j;
                const int b = a + half;
                const float tr = re[b] * wr - im[b] * wi;
                const float ti = re[b] * wi + im[b] * wr;
                re[b] = re[a] - tr;
                im[b] = im[a] - ti;
                re[a] += tr;
                im[a] += ti;
            }
        }
    }

    constexpr float scale = 2.0f / size;
    for (int k = 0; k < bins; ++k) {
        magnitudes[k] = std::sqrt(re[k] * re[k] + im[k] * im[k]) * scale;
    }
}

} // namespace platform
