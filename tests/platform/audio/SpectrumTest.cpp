// The spectrum of signals whose transform is known in closed form.
#include "platform/audio/Spectrum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using platform::Spectrum;

constexpr double pi = 3.14159265358979323846;

TEST(Spectrum, ConstantGivesItsValueInBinZeroAndABinFrequencySineHalfItsAmplitudeInItsBin)
{
    Spectrum spectrum;
    std::vector<float> bins(Spectrum::bins);
    for (const float d : { 1.0f, -0.25f, 0.0f }) {
        const std::vector<float> x(Spectrum::size, d);
        spectrum.compute(x.data(), bins.data());
        EXPECT_NEAR(bins[0], std::fabs(d), 1e-5f) << "d = " << d;
        EXPECT_NEAR(bins[1], std::fabs(d) / 2.0f, 1e-5f); // the window's only leak
        for (int k = 2; k < Spectrum::bins; ++k)
            ASSERT_NEAR(bins[k], 0.0f, 1e-5f) << "d = " << d << ", bin " << k;
    }
    for (const int k0 : { 1, 5, 200, 511 }) {
        std::vector<float> x(Spectrum::size);
        for (int n = 0; n < Spectrum::size; ++n)
            x[n] = static_cast<float>(0.8 * std::sin(2.0 * pi * k0 * n / Spectrum::size));
        spectrum.compute(x.data(), bins.data());
        EXPECT_NEAR(bins[k0], 0.4f, 1e-4f) << "k0 = " << k0; // the window halves it
        for (int k = 0; k < Spectrum::bins; ++k)
            ASSERT_TRUE(std::abs(k - k0) <= 1 || std::fabs(bins[k]) < 1e-4f) << "k0 " << k0 << ", bin " << k;
    }
}

} // namespace
