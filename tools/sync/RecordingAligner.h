// Lines a recording up with the reference rendering it should contain. The recording
// is the reference shifted by some frames, and the shift changes where the player
// underran (silence inserted: the recording falls behind, a gap) or audio was lost
// (it jumps ahead, a drop). The aligner finds the reference's start near a hint, then
// follows the shift window by window and cuts the reference into stretches of one
// shift each.
#pragma once

#include "CrossCorrelator.h"

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace syncbench {

// Reference frames [referenceStart, referenceEnd) sit at recording frame + shift.
// Between two stretches lie reference frames that were dropped, never heard.
struct AlignedStretch {
    int64_t referenceStart = 0;
    int64_t referenceEnd = 0;
    int64_t shift = 0;
};

struct AlignerSettings {
    int window = 4096;        // frames compared at a time (93 ms at 44100 Hz)
    int hop = 2048;           // frames between windows
    int drift = 32;           // shift change looked for around the last one
    int maxJump = 22050;      // largest gap or drop looked for, frames
    int gapTolerance = 44;    // shift changes up to this are clock drift, not gaps
    double followScore = 0.9; // a window at the drifted shift must match this well
    double jumpScore = 0.8;   // and a window after a gap or drop this well
    double silence = 1e-6;    // mean square below which a window is silent
    // The start is located through pieces of `anchor` frames from `anchorStart` on (not
    // the very first frames, which a restart may play differently), one after the other
    // until one is found that the recording holds exactly: a repeated bar of the music
    // comes close, but never that close.
    int anchorStart = 26460;
    int anchor = 22050;
    int anchorAttempts = 6;
    double anchorScore = 0.995;
};

class RecordingAligner {
public:
    explicit RecordingAligner(AlignerSettings settings = {});

    // Looks for the reference's start at recording frames [searchFrom, searchTo], then
    // follows it from the start as far as both last. The start is located through
    // pieces a little later (settings' anchorStart on), each looked for that much later
    // in the recording; when an underrun came before the piece found, following begins
    // there. False when no piece was found.
    bool align(const std::vector<float>& reference, const std::vector<float>& recording, int64_t searchFrom,
        int64_t searchTo);

    const std::vector<AlignedStretch>& stretches() const { return found; }
    int gaps() const { return gapCount; }
    int drops() const { return dropCount; }
    // Score of the start's match, 1 for an exact copy.
    double anchorScore() const { return startScore; }

    // The recording frame holding a reference frame; nullopt outside the stretches.
    std::optional<int64_t> recordingFrameOf(int64_t referenceFrame) const;
    // Recording frames [first, second) between two stretches that hold no reference
    // frame: the silence an underrun inserted.
    std::vector<std::pair<int64_t, int64_t>> gapSpans() const;

private:
    // Where, in reference frames, the old shift stops holding and the new one starts.
    struct Change {
        int64_t oldEnd;
        int64_t newStart;
    };

    bool silent(const float* samples, size_t count) const;
    Change locateChange(const std::vector<float>& reference, const std::vector<float>& recording,
        int64_t from, int64_t to, int64_t oldShift, int64_t newShift);

    AlignerSettings settings;
    CrossCorrelator correlator;
    std::vector<AlignedStretch> found;
    int gapCount = 0;
    int dropCount = 0;
    double startScore = 0.0;
};

} // namespace syncbench
