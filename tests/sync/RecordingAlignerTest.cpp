// Lining a recording up with its reference when playback underran, lost audio, or
// restarted, and the heard times that follow from it.
#include "RecordingAligner.h"
#include "CaptureClock.h"
#include "HeardTimeline.h"
#include "SyntheticSound.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

using syncbench::CaptureClock;
using syncbench::CaptureStamp;
using syncbench::HeardTimeline;
using syncbench::RecordingAligner;
using syncbench::RowStart;
using testsupport::joined;
using testsupport::syntheticSound;

constexpr int rate = 44100;
constexpr int64_t lead = 17640; // silence recorded before the music, 0.4 s

// The recording frame holding a reference frame, or -1 when it holds none.
int64_t heldAt(const RecordingAligner& aligner, int64_t referenceFrame)
{
    return aligner.recordingFrameOf(referenceFrame).value_or(-1);
}

TEST(RecordingAligner, FollowsTheShiftThroughAGapAndADropAndCountsBoth)
{
    const std::vector<float> reference = syntheticSound(441000, 11);
    // 800 frames of silence at reference frame 150000 (an underrun), and reference
    // frames 300000 to 302000 never played (lost)
    const std::vector<float> recording = joined(reference,
        { { -1, lead }, { 0, 150000 }, { -1, 800 }, { 150000, 300000 }, { 302000, 441000 }, { -1, 22050 } });
    RecordingAligner aligner;
    ASSERT_TRUE(aligner.align(reference, recording, lead - rate / 4, lead + rate));
    EXPECT_EQ(aligner.gaps(), 1);
    EXPECT_EQ(aligner.drops(), 1);
    EXPECT_NEAR(aligner.anchorScore(), 1.0, 1e-6);

    EXPECT_EQ(heldAt(aligner, 0), lead);
    EXPECT_EQ(heldAt(aligner, 149700), 149700 + lead);
    EXPECT_EQ(heldAt(aligner, 150300), 150300 + lead + 800);
    EXPECT_EQ(heldAt(aligner, 299700), 299700 + lead + 800);
    EXPECT_EQ(heldAt(aligner, 301000), -1) << "a lost frame was never heard";
    EXPECT_EQ(heldAt(aligner, 302300), 302300 + lead + 800 - 2000);
    EXPECT_EQ(heldAt(aligner, 435000), 435000 + lead + 800 - 2000);
    EXPECT_EQ(heldAt(aligner, 441000), -1) << "past the reference";
    EXPECT_EQ(heldAt(aligner, -1), -1);

    // the underrun's silence, to within a probe; the lost audio left none
    const auto silences = aligner.gapSpans();
    ASSERT_EQ(silences.size(), 1u);
    EXPECT_NEAR(static_cast<double>(silences[0].first), 150000.0 + lead, 64.0);
    EXPECT_NEAR(static_cast<double>(silences[0].second), 150800.0 + lead, 64.0);
}

TEST(RecordingAligner, ShiftsOfAFewFramesAreClockDriftNotGaps)
{
    const std::vector<float> reference = syntheticSound(300000, 5);
    const std::vector<float> recording = joined(reference,
        { { -1, lead }, { 0, 100000 }, { -1, 8 }, { 100000, 200000 }, { -1, 8 }, { 200000, 300000 } });
    RecordingAligner aligner;
    ASSERT_TRUE(aligner.align(reference, recording, lead - rate / 4, lead + rate));
    EXPECT_EQ(aligner.gaps(), 0);
    EXPECT_EQ(aligner.drops(), 0);
    // followed to within the hop at which the change is noticed
    EXPECT_EQ(heldAt(aligner, 50000), 50000 + lead);
    EXPECT_EQ(heldAt(aligner, 150000), 150000 + lead + 8);
    EXPECT_EQ(heldAt(aligner, 290000), 290000 + lead + 16);
}

TEST(RecordingAligner, FindsTheRestartNotThePlaythroughBeforeItEvenWhenItsFirstRowsDiffer)
{
    const std::vector<float> reference = syntheticSound(300000, 9);
    const std::vector<float> other = syntheticSound(13230, 99);
    // 1.5 s of music already playing during loading, then the restart, whose first
    // 0.3 s still carry notes from before
    std::vector<float> recording = joined(reference, { { -1, lead }, { 0, 66150 }, { 0, 300000 } });
    const int64_t restart = lead + 66150;
    std::copy(other.begin(), other.end(), recording.begin() + restart);

    RecordingAligner aligner;
    ASSERT_TRUE(aligner.align(reference, recording, restart - rate / 4, restart + rate));
    EXPECT_EQ(heldAt(aligner, 0), restart);
    EXPECT_EQ(heldAt(aligner, 200000), restart + 200000);
    EXPECT_EQ(aligner.gaps() + aligner.drops(), 0);
}

TEST(RecordingAligner, FindsTheStartWhenThePlayerUnderranInItsFirstSecond)
{
    const std::vector<float> reference = syntheticSound(300000, 21);
    // a gap 0.8 s into the music, inside the first piece that locates the start
    const std::vector<float> recording
        = joined(reference, { { -1, lead }, { 0, 35280 }, { -1, 3000 }, { 35280, 300000 } });
    RecordingAligner aligner;
    ASSERT_TRUE(aligner.align(reference, recording, lead - rate / 4, lead + rate));
    EXPECT_EQ(aligner.gaps(), 1);
    EXPECT_EQ(aligner.drops(), 0);
    EXPECT_EQ(heldAt(aligner, 0), lead);
    EXPECT_EQ(heldAt(aligner, 30000), 30000 + lead);
    EXPECT_EQ(heldAt(aligner, 40000), 40000 + lead + 3000);
    EXPECT_EQ(heldAt(aligner, 250000), 250000 + lead + 3000);
}

TEST(RecordingAligner, RefusesARecordingThatDoesNotHoldTheReference)
{
    const std::vector<float> reference = syntheticSound(200000, 1);
    const std::vector<float> recording = syntheticSound(200000, 2);
    RecordingAligner aligner;
    EXPECT_FALSE(aligner.align(reference, recording, 0, rate));
    EXPECT_TRUE(aligner.stretches().empty());
    // nor one too short to hold the part that locates the start
    EXPECT_FALSE(
        aligner.align(reference, std::vector<float>(reference.begin(), reference.begin() + 30000), 0, rate));
}

TEST(HeardTimeline, PutsModulePositionsOnTheClockThroughTheAlignment)
{
    const std::vector<float> reference = syntheticSound(200000, 4);
    const std::vector<float> recording
        = joined(reference, { { -1, lead }, { 0, 100000 }, { -1, 1000 }, { 100000, 200000 }, { -1, 4410 } });
    RecordingAligner aligner;
    ASSERT_TRUE(aligner.align(reference, recording, lead - rate / 4, lead + rate));

    // captured at 2 ms past each 10 ms reading, the frames read by then: frame k was
    // captured at 1000 s + k / rate
    std::vector<CaptureStamp> stamps;
    for (int64_t frames = 441; frames < static_cast<int64_t>(recording.size()); frames += 441) {
        const int64_t capturedNs = 1000000000000 + frames * 1000000000 / rate;
        stamps.push_back(CaptureStamp { frames, capturedNs + 2000000, 2000 });
    }
    const CaptureClock clock(stamps, rate);

    // rows of 6615 frames; the same order and row played again later counts from the first
    const std::vector<RowStart> rows
        = { { 0, 0, 0 }, { 0, 1, 6615 }, { 0, 2, 13230 }, { 1, 0, 19845 }, { 0, 1, 26460 } };
    const HeardTimeline heard(rows, aligner, clock);

    EXPECT_DOUBLE_EQ(*heard.referenceFrameOf(0, 1, 0.5), 6615.0 + 3307.5);
    EXPECT_DOUBLE_EQ(*heard.referenceFrameOf(0, 2, 0.25), 13230.0 + 0.25 * 6615.0);
    EXPECT_DOUBLE_EQ(*heard.referenceFrameOf(0, 1, 0.0), 6615.0);
    EXPECT_DOUBLE_EQ(*heard.referenceFrameOf(1, 0, 0.5), 19845.0 + 3307.5) << "as long as the one after it";
    EXPECT_FALSE(heard.referenceFrameOf(2, 0, 0.0).has_value());

    const auto expectHeard = [&](double referenceFrame, double recordingFrame) {
        const std::optional<double> when = heard.heardAt(referenceFrame);
        ASSERT_TRUE(when.has_value()) << referenceFrame;
        EXPECT_NEAR(*when, 1000.0 + recordingFrame / rate, 1e-6) << referenceFrame;
    };
    expectHeard(0.0, lead);
    expectHeard(6615.0 + 3307.5, 6615.0 + 3307.5 + lead);
    expectHeard(150000.25, 150000.25 + lead + 1000);
    EXPECT_FALSE(heard.heardAt(200000.0).has_value());
}

} // namespace
