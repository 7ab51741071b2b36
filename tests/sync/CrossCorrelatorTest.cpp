// Locating a piece of sound inside a longer one, through both ways of correlating.
#include "CrossCorrelator.h"
#include "SyntheticSound.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using syncbench::CorrelationPeak;
using syncbench::CrossCorrelator;

TEST(CrossCorrelator, FindsTheExactLagOfAScaledCopyWithFewAndWithManyCandidates)
{
    const std::vector<float> signal = testsupport::syntheticSound(200000, 7);
    CrossCorrelator correlator;
    // 64 candidate lags take the direct sum, 150000 the transform
    for (const size_t searched : { size_t { 64 }, size_t { 150000 } }) {
        for (const size_t lag : { size_t { 0 }, size_t { 37 }, searched - 1 }) {
            std::vector<float> probe(signal.begin() + lag, signal.begin() + lag + 4096);
            for (float& sample : probe)
                sample *= 0.3f; // the recording's volume differs from the reference's
            const CorrelationPeak peak
                = correlator.bestFit(probe.data(), probe.size(), signal.data(), searched - 1 + probe.size());
            ASSERT_TRUE(peak.found);
            EXPECT_EQ(peak.lag, static_cast<int64_t>(lag)) << searched << " candidates";
            EXPECT_NEAR(peak.score, 1.0, 1e-6);
        }
    }
}

TEST(CrossCorrelator, NeverMatchesSilence)
{
    const std::vector<float> sound = testsupport::syntheticSound(8192, 3);
    CrossCorrelator correlator;

    const std::vector<float> silentProbe(1024, 0.0f);
    EXPECT_FALSE(
        correlator.bestFit(silentProbe.data(), silentProbe.size(), sound.data(), sound.size()).found);

    // a signal silent everywhere but one place: the peak is there, whatever the
    // silence would score through rounding
    std::vector<float> signal(100000, 0.0f);
    std::copy(sound.begin(), sound.begin() + 2048, signal.begin() + 70000);
    const CorrelationPeak peak = correlator.bestFit(sound.data(), 2048, signal.data(), signal.size());
    ASSERT_TRUE(peak.found);
    EXPECT_EQ(peak.lag, 70000);

    const std::vector<float> silentSignal(50000, 0.0f);
    EXPECT_FALSE(correlator.bestFit(sound.data(), 2048, silentSignal.data(), silentSignal.size()).found);
    // a probe longer than the signal has nowhere to go
    EXPECT_FALSE(correlator.bestFit(sound.data(), 4096, sound.data(), 4095).found);
}

} // namespace
