// The spectrum against the transform summed term by term.
#include "platform/Spectrum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>
#include <vector>

namespace {

using platform::Spectrum;

constexpr double pi = 3.14159265358979323846;

double hann(int n) { return 0.5 * (1.0 - std::cos(2.0 * pi * n / Spectrum::size)); }

std::vector<float> analyse(const std::vector<float>& x)
{
    Spectrum spectrum;
    std::vector<float> bins(Spectrum::bins);
    spectrum.compute(x.data(), bins.data());
    return bins;
}

TEST(Spectrum, ConstantSignalGivesItsValueInBinZero)
{
    for (float d : {1.0f, -0.25f, 0.0f}) {
        const std::vector<float> bins = analyse(std::vector<float>(Spectrum::size, d));
        EXPECT_NEAR(bins[0], std::fabs(d), 1e-5f) << "d = " << d;
        EXPECT_NEAR(bins[1], std::fabs(d) / 2.0f, 1e-5f); // the window's only leak
        for (int k = 2; k < Spectrum::bins; ++k) {
            ASSERT_NEAR(bins[k], 0.0f, 1e-5f) << "d = " << d << ", bin " << k;
        }
    }
}

TEST(Spectrum, SineAtABinFrequencyLandsInThatBin)
{
    const double amplitude = 0.8;
    double windowSum = 0.0;
    for (int n = 0; n < Spectrum::size; ++n) {
        windowSum += hann(n);
    }
    // half the amplitude sits at +k0 (half at -k0), weighted by the window's sum
    const double expected = amplitude / 2.0 * windowSum * 2.0 / Spectrum::size;
    for (int k0 : {1, 5, 200, 511}) {
        std::vector<float> x(Spectrum::size);
        for (int n = 0; n < Spectrum::size; ++n) {
            x[n] = static_cast<float>(amplitude * std::sin(2.0 * pi * k0 * n / Spectrum::size));
        }
        const std::vector<float> bins = analyse(x);
        EXPECT_NEAR(bins[k0], expected, 1e-4) << "k0 = " << k0;
        for (int k = 0; k < Spectrum::bins; ++k) {
            if (std::abs(k - k0) > 1) {
                ASSERT_NEAR(bins[k], 0.0f, 1e-4f) << "k0 = " << k0 << ", bin " << k;
            }
        }
    }
}

TEST(Spectrum, MatchesTheDirectSumForAnySignal)
{
    std::mt19937 random(1234);
    std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
    std::vector<float> x(Spectrum::size);
    for (float& v : x) {
        v = sample(random);
    }
    Spectrum spectrum;
    std::vector<float> bins(Spectrum::bins);
    spectrum.compute(x.data(), bins.data());
    spectrum.compute(x.data(), bins.data()); // nothing may carry over between calls
    for (int k = 0; k < Spectrum::bins; ++k) {
        std::complex<double> sum = 0.0;
        for (int n = 0; n < Spectrum::size; ++n) {
            sum += hann(n) * x[n] * std::polar(1.0, -2.0 * pi * k * n / Spectrum::size);
        }
        ASSERT_NEAR(bins[k], std::abs(sum) * 2.0 / Spectrum::size, 1e-5) << "bin " << k;
    }
}

} // namespace
