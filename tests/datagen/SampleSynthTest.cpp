// The synthesised instruments: range, decay, seamless loops and pitch.
#include "SampleSynth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

using datagen::ItSample;
using datagen::SampleSynth;

namespace {

int peakOf(const std::vector<int16_t>& frames, size_t begin, size_t end)
{
    int peak = 0;
    for (size_t i = begin; i < end; ++i)
        peak = std::max(peak, std::abs(static_cast<int>(frames[i])));
    return peak;
}

double energy(const std::vector<int16_t>& frames, size_t begin, size_t end)
{
    double sum = 0;
    for (size_t i = begin; i < end; ++i)
        sum += static_cast<double>(frames[i]) * frames[i];
    return sum / static_cast<double>(end - begin);
}

// Correlation of the start of the loop with itself shifted by lag frames
// (wrapping round the loop).
double loopCorrelation(const ItSample& s, uint32_t lag)
{
    const uint32_t length = s.loopEnd - s.loopStart;
    double cross = 0;
    double self = 0;
    for (uint32_t i = 0; i < 8192; ++i) {
        const double a = s.frames[s.loopStart + i];
        const double b = s.frames[s.loopStart + (i + lag) % length];
        cross += a * b;
        self += a * a;
    }
    return cross / self;
}

} // namespace

TEST(SampleSynth, OneShotsUseTheFullLevelAndEndInSilenceWithoutAClick)
{
    for (const ItSample& s : { SampleSynth::kick(), SampleSynth::snare(), SampleSynth::clap(),
             SampleSynth::closedHat(), SampleSynth::openHat(), SampleSynth::crash(), SampleSynth::bell() }) {
        SCOPED_TRACE(s.name);
        ASSERT_GT(s.frames.size(), 1000u);
        EXPECT_FALSE(s.looped);
        EXPECT_EQ(peakOf(s.frames, 0, s.frames.size()), SampleSynth::peakLevel);
        const size_t tenth = s.frames.size() / 10;
        EXPECT_LT(
            energy(s.frames, s.frames.size() - tenth, s.frames.size()), 0.05 * energy(s.frames, 0, tenth))
            << "dies away";
        EXPECT_LT(std::abs(s.frames.front()), 1000) << "starts without a click";
        EXPECT_LT(std::abs(s.frames.back()), 100) << "ends without a click";
    }
    // The riser does the opposite: it swells to its end, then stops short of a click.
    const ItSample riser = SampleSynth::riser();
    EXPECT_NEAR(riser.frames.size() / static_cast<double>(riser.c5Speed), 4.8, 0.01)
        << "32 rows at 100 rows per 15 s";
    const size_t tenth = riser.frames.size() / 10;
    EXPECT_GT(energy(riser.frames, riser.frames.size() - 2 * tenth, riser.frames.size() - tenth),
        10 * energy(riser.frames, 0, tenth));
    EXPECT_LT(std::abs(riser.frames.back()), 100);
}

TEST(SampleSynth, SustainedSamplesLoopWithoutAStep)
{
    for (const ItSample& s :
        { SampleSynth::bass(), SampleSynth::pad(), SampleSynth::pluck(), SampleSynth::lead() }) {
        SCOPED_TRACE(s.name);
        ASSERT_TRUE(s.looped);
        ASSERT_EQ(s.loopEnd, s.frames.size());
        ASSERT_EQ(s.loopEnd - s.loopStart, SampleSynth::loopFrames);
        EXPECT_EQ(peakOf(s.frames, 0, s.frames.size()), SampleSynth::peakLevel);
        int largestStep = 0;
        for (uint32_t i = s.loopStart + 1; i < s.loopEnd; ++i)
            largestStep = std::max(largestStep, std::abs(s.frames[i] - s.frames[i - 1]));
        const int joinStep = std::abs(s.frames[s.loopStart] - s.frames[s.loopEnd - 1]);
        EXPECT_LE(joinStep, largestStep)
            << "the jump back to the loop start is no bigger than any step inside it";
        // The sound holds its level through the loop rather than fading out.
        EXPECT_GT(peakOf(s.frames, s.loopEnd - 4096, s.loopEnd), SampleSynth::peakLevel / 4);
    }
}

TEST(SampleSynth, PitchedSamplesRepeatEveryPeriodSoC5IsMiddleC)
{
    for (const ItSample& s :
        { SampleSynth::bass(), SampleSynth::pad(), SampleSynth::pluck(), SampleSynth::lead() }) {
        SCOPED_TRACE(s.name);
        EXPECT_EQ(s.c5Speed, SampleSynth::pitchedRate);
        EXPECT_NEAR(static_cast<double>(s.c5Speed) / SampleSynth::periodFrames, 261.63, 0.05);
        uint32_t bestLag = 0;
        double best = -1;
        for (uint32_t lag = SampleSynth::periodFrames / 2 + 1; lag < SampleSynth::periodFrames * 3 / 2;
             ++lag) {
            const double c = loopCorrelation(s, lag);
            if (c > best) {
                best = c;
                bestLag = lag;
            }
        }
        EXPECT_NEAR(bestLag, SampleSynth::periodFrames, 1) << "the waveform repeats once per period";
        EXPECT_GT(best, 0.85);
        EXPECT_LT(loopCorrelation(s, SampleSynth::periodFrames / 2), 0.5) << "not an octave higher";
    }
}
