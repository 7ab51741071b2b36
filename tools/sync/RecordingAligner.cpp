// Window-by-window alignment of a recording with its reference.
#include "RecordingAligner.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace syncbench {

namespace {

// frames per probe when narrowing down where a shift changed, and their step
constexpr int64_t probeFrames = 256;
constexpr int64_t probeStep = 64;

// Normalised correlation of `frames` reference frames with the recording at a shift:
// nullopt outside either signal or where the reference is silent (nothing to match),
// 0 where only the recording is.
std::optional<double> matchAt(const std::vector<float>& reference, const std::vector<float>& recording,
    int64_t referenceFrame, int64_t shift, int64_t frames)
{
    const int64_t recordingFrame = referenceFrame + shift;
    if (referenceFrame < 0 || recordingFrame < 0
        || referenceFrame + frames > static_cast<int64_t>(reference.size())
        || recordingFrame + frames > static_cast<int64_t>(recording.size())) {
        return std::nullopt;
    }
    double dot = 0.0;
    double a = 0.0;
    double b = 0.0;
    for (int64_t i = 0; i < frames; ++i) {
        const double x = reference[referenceFrame + i];
        const double y = recording[recordingFrame + i];
        dot += x * y;
        a += x * x;
        b += y * y;
    }
    if (a <= 0.0) {
        return std::nullopt;
    }
    return b > 0.0 ? dot / std::sqrt(a * b) : 0.0;
}

} // namespace

RecordingAligner::RecordingAligner(AlignerSettings alignerSettings)
    : settings(alignerSettings)
{
}

bool RecordingAligner::silent(const float* samples, size_t count) const
{
    double squares = 0.0;
    for (size_t i = 0; i < count; ++i) {
        squares += static_cast<double>(samples[i]) * samples[i];
    }
    return squares < settings.silence * static_cast<double>(count);
}

bool RecordingAligner::align(const std::vector<float>& reference, const std::vector<float>& recording,
    int64_t searchFrom, int64_t searchTo)
{
    found.clear();
    gapCount = 0;
    dropCount = 0;
    startScore = 0.0;

    const int64_t referenceSize = static_cast<int64_t>(reference.size());
    const int64_t recordingSize = static_cast<int64_t>(recording.size());
    // Notes still sounding when the music restarts colour its first rows, and the first
    // frames after a restart are slow to draw, so the player may underrun at once: the
    // start is located through the first of a few later pieces that the recording holds
    // exactly (a repeated bar of music comes close, but never that close).
    int64_t shift = 0;
    int64_t anchorStart = settings.anchorStart;
    for (int attempt = 0; attempt < settings.anchorAttempts && startScore == 0.0;
         ++attempt, anchorStart += settings.anchor) {
        const int64_t anchor = std::min<int64_t>(settings.anchor, referenceSize - anchorStart);
        const int64_t from = std::max<int64_t>(searchFrom + anchorStart, 0);
        const int64_t to = std::min(searchTo + anchorStart, recordingSize - anchor);
        if (anchor <= 0 || to < from) {
            break;
        }
        const CorrelationPeak start = correlator.bestFit(reference.data() + anchorStart,
            static_cast<size_t>(anchor), recording.data() + from, static_cast<size_t>(to - from + anchor));
        if (start.found && start.score >= settings.anchorScore) {
            startScore = start.score;
            shift = from + start.lag - anchorStart;
        }
    }
    if (startScore == 0.0) {
        return false;
    }
    // The shift holds back to frame 0 unless the music before the piece found
    // disagrees: then an underrun came in between, and the music just after the
    // coloured rows is looked for before the shift found (the coloured rows themselves
    // cannot tell). Where even that fails, following begins at the piece found.
    anchorStart -= settings.anchor;
    const int64_t coloured = settings.anchorStart / 2;
    int64_t first = 0;
    if (anchorStart != settings.anchorStart
        && matchAt(reference, recording, coloured, shift, anchorStart - coloured).value_or(0.0)
            < settings.followScore) {
        const int64_t from = std::max<int64_t>(coloured + shift - settings.maxJump, 0);
        const int64_t to = std::min(coloured + shift + settings.drift + settings.window, recordingSize);
        const CorrelationPeak before = correlator.bestFit(reference.data() + coloured, settings.window,
            recording.data() + from, static_cast<size_t>(to - from));
        if (before.found && before.score >= settings.followScore) {
            shift = from + before.lag - coloured;
        } else {
            first = anchorStart;
        }
    }
    found.push_back(AlignedStretch { first, first, shift });

    const int64_t window = settings.window;
    int64_t lastMatched = first; // reference frame of the last window that matched
    for (int64_t n = first; n + window <= referenceSize; n += settings.hop) {
        const float* probe = reference.data() + n;
        if (n + shift + window > recordingSize) {
            break;
        }
        if (silent(probe, window)) {
            continue; // nothing to match: the shift carries on
        }
        // the window at the last shift, give or take some drift
        int64_t from = std::max<int64_t>(n + shift - settings.drift, 0);
        int64_t to = std::min(n + shift + settings.drift + window, recordingSize);
        CorrelationPeak peak = correlator.bestFit(probe, window, recording.data() + from, to - from);
        double needed = settings.followScore;
        if (!peak.found || peak.score < needed) {
            if (n + shift >= 0 && silent(recording.data() + n + shift, window)) {
                continue; // inside a gap, or the recording ended: the next window tells
            }
            from = std::max<int64_t>(n + shift - settings.maxJump, 0);
            to = std::min(n + shift + settings.maxJump + window, recordingSize);
            peak = correlator.bestFit(probe, window, recording.data() + from, to - from);
            needed = settings.jumpScore;
        }
        if (!peak.found || peak.score < needed) {
            continue;
        }
        const int64_t newShift = from + peak.lag - n;
        const int64_t change = newShift - shift;
        const bool jump = std::llabs(change) > settings.gapTolerance;
        // A window that straddles a gap half matches at odd shifts: a jump counts only
        // when the next window agrees with it.
        if (jump
            && matchAt(reference, recording, n + settings.hop, newShift, window).value_or(0.0)
                < settings.followScore) {
            continue;
        }
        if (newShift != shift) {
            Change located { n, n };
            if (jump) {
                (change > 0 ? gapCount : dropCount) += 1;
                located = locateChange(reference, recording, lastMatched, n + window, shift, newShift);
            }
            // the change may lie inside this window, which matched the new shift mostly
            found.back().referenceEnd = std::clamp(located.oldEnd, found.back().referenceStart, n + window);
            const int64_t start = std::clamp(located.newStart, found.back().referenceEnd, n + window);
            found.push_back(AlignedStretch { start, start, newShift });
            shift = newShift;
        }
        found.back().referenceEnd = n + window;
        lastMatched = n;
    }
    if (found.back().referenceEnd == found.back().referenceStart) {
        found.pop_back();
    }
    return !found.empty();
}

RecordingAligner::Change RecordingAligner::locateChange(const std::vector<float>& reference,
    const std::vector<float>& recording, int64_t from, int64_t to, int64_t oldShift, int64_t newShift)
{
    // Past the change the old shift matches worse than the new one, or less than half
    // (where audio was dropped neither matches); the new one matches from the first
    // probe it explains better than the old one. A probe straddling the change does
    // that when about half of it lies past the change, so the probe's middle marks it
    // to within a step. Probes over silence in the reference say nothing.
    Change change { to - settings.window, to - settings.window };
    bool oldEnded = false;
    for (int64_t k = from; k + probeFrames <= to; k += probeStep) {
        const std::optional<double> before = matchAt(reference, recording, k, oldShift, probeFrames);
        const std::optional<double> after = matchAt(reference, recording, k, newShift, probeFrames);
        if (!before || !after) {
            continue;
        }
        if (!oldEnded && (*before < 0.5 || *after > *before)) {
            change.oldEnd = k + probeFrames / 2;
            oldEnded = true;
        }
        if (*after >= 0.5 && *after > *before) {
            change.newStart = k + probeFrames / 2;
            break;
        }
    }
    // a gap: both sides meet; a drop: the frames between were never heard
    change.oldEnd = std::min(change.oldEnd, change.newStart);
    return change;
}

std::optional<int64_t> RecordingAligner::recordingFrameOf(int64_t referenceFrame) const
{
    const auto after = std::upper_bound(found.begin(), found.end(), referenceFrame,
        [](int64_t frame, const AlignedStretch& s) { return frame < s.referenceStart; });
    if (after == found.begin()) {
        return std::nullopt;
    }
    const AlignedStretch& stretch = *(after - 1);
    if (referenceFrame >= stretch.referenceEnd) {
        return std::nullopt;
    }
    return referenceFrame + stretch.shift;
}

std::vector<std::pair<int64_t, int64_t>> RecordingAligner::gapSpans() const
{
    std::vector<std::pair<int64_t, int64_t>> spans;
    for (size_t i = 1; i < found.size(); ++i) {
        const int64_t lastHeard = found[i - 1].referenceEnd + found[i - 1].shift;
        const int64_t nextHeard = found[i].referenceStart + found[i].shift;
        if (nextHeard > lastHeard) {
            spans.emplace_back(lastHeard, nextHeard);
        }
    }
    return spans;
}

} // namespace syncbench
