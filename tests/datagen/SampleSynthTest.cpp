// The synthesised instruments: in tune, and starting, ending and looping without a click.
#include "SampleSynth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using datagen::ItSample;
using datagen::SampleSynth;

namespace {

// Correlation of the start of the loop with itself shifted by lag frames (wrapping
// round the loop).
double loopCorrelation(const ItSample& s, uint32_t lag)
{
    double cross = 0;
    double self = 0;
    for (uint32_t i = 0; i < 8192; ++i) {
        const double a = s.frames[s.loopStart + i];
        cross += a * s.frames[s.loopStart + (i + lag) % (s.loopEnd - s.loopStart)];
        self += a * a;
    }
    return cross / self;
}

} // namespace

TEST(SampleSynth, SustainedSamplesLoopWithoutAStepAndHoldTheirLevel)
{
    for (const ItSample& s :
        { SampleSynth::bass(), SampleSynth::pad(), SampleSynth::pluck(), SampleSynth::lead() }) {
        SCOPED_TRACE(s.name);
        ASSERT_TRUE(s.looped);
        ASSERT_EQ(s.loopEnd, s.frames.size());
        ASSERT_GT(s.loopEnd, s.loopStart + 4096);
        EXPECT_LT(std::abs(s.frames.front()), 1000) << "starts without a click";
        int largestStep = 0;
        for (uint32_t i = s.loopStart + 1; i < s.loopEnd; ++i)
            largestStep = std::max(largestStep, std::abs(s.frames[i] - s.frames[i - 1]));
        const int joinStep = std::abs(s.frames[s.loopStart] - s.frames[s.loopEnd - 1]);
        EXPECT_LE(joinStep, largestStep)
            << "the jump back to the loop start is no bigger than any step inside it";
        // The sound holds its level through the loop rather than fading out.
        int tailPeak = 0;
        for (uint32_t i = s.loopEnd - 4096; i < s.loopEnd; ++i)
            tailPeak = std::max(tailPeak, std::abs(static_cast<int>(s.frames[i])));
        EXPECT_GT(tailPeak, SampleSynth::peakLevel / 4);
    }
}

TEST(SampleSynth, OneShotsStartAndDieAwayWithoutAClick)
{
    for (const ItSample& s :
        { SampleSynth::kick(), SampleSynth::snare(), SampleSynth::clap(), SampleSynth::closedHat(),
            SampleSynth::openHat(), SampleSynth::crash(), SampleSynth::bell(), SampleSynth::riser() }) {
        SCOPED_TRACE(s.name);
        ASSERT_GT(s.frames.size(), 1000u);
        EXPECT_FALSE(s.looped);
        EXPECT_LT(std::abs(s.frames.front()), 1000) << "starts without a click";
        EXPECT_LT(std::abs(s.frames.back()), 100) << "ends without a click";
    }
}

TEST(SampleSynth, PitchedSamplesRepeatOncePerPeriodSoTheyPlayInTuneTogether)
{
    for (const ItSample& s :
        { SampleSynth::bass(), SampleSynth::pad(), SampleSynth::pluck(), SampleSynth::lead() }) {
        SCOPED_TRACE(s.name);
        ASSERT_EQ(s.c5Speed, SampleSynth::pitchedRate);
        uint32_t bestLag = 0;
        double best = -1;
        for (uint32_t lag = SampleSynth::periodFrames / 2 + 1; lag < SampleSynth::periodFrames * 3 / 2;
             ++lag) {
            if (loopCorrelation(s, lag) > best) {
                best = loopCorrelation(s, lag);
                bestLag = lag;
            }
        }
        EXPECT_NEAR(bestLag, SampleSynth::periodFrames, 1) << "the waveform repeats once per period";
        EXPECT_GT(best, 0.85);
        EXPECT_LT(loopCorrelation(s, SampleSynth::periodFrames / 2), 0.5) << "not an octave higher";
    }
}
