// sync_analysis: lines a recording of the demo's sound up with libopenmpt's rendering
// of the module, so that every row start gets the CLOCK_MONOTONIC instant it was
// heard, and compares that with what the demo reported (its position log) and with
// what reached the screen (the grabber's brightness series). Prints the figures, the
// last line as key=value pairs for scripts.
//
// Exit status: 0 figures printed (and within --check-ms when given); 1 the files do
// not line up or cannot be read; 2 usage; 3 the reported position is off by more than
// --check-ms.
#include "CaptureClock.h"
#include "FlashDetector.h"
#include "HeardTimeline.h"
#include "ModuleReference.h"
#include "RecordingAligner.h"
#include "SampleStats.h"
#include "SyncLogs.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace syncbench;

constexpr int rate = 44100;
constexpr int exitUnaligned = 1;
constexpr int exitUsage = 2;
constexpr int exitOff = 3;
// fewer positions than this say nothing about the layer: a run that short fails the check
constexpr size_t fewestChecked = 100;

struct Options {
    std::string module;
    std::string recording; // prefix: .f32 and .stamps
    std::string positions;
    std::string screen;
    double skip = 1.0; // seconds after the music is first heard before positions count
    double checkMs = 0.0;
    std::string errorsOut; // one line per compared position
    int flashFirstOrder = 0;
    int flashLastOrder = 4;
};

void usage(const char* program)
{
    std::fprintf(stderr,
        "usage: %s --module FILE --recording PREFIX --positions FILE [--screen FILE]\n"
        "          [--skip SECONDS] [--flash-orders FIRST-LAST] [--errors FILE] [--check-ms LIMIT]\n"
        "  --recording   PREFIX.f32 (stereo float, 44100 Hz) and PREFIX.stamps of sync_recorder\n"
        "  --positions   the demo's VORIMEL_POSITION_LOG\n"
        "  --screen      sync_grabber's updates: adds flash on screen minus beat heard\n"
        "  --skip        positions reported in the first SECONDS of heard music are left out (1),\n"
        "                and so are those for instants inside gaps and of audio never heard\n"
        "  --flash-orders  orders whose beat rows 0, 8, 16, 24 flash the lower half (0-4)\n"
        "  --errors      writes \"<for ns> <order> <row> <fraction> <reported - heard ms>\" per position\n"
        "  --check-ms    exit 3 when the median of |reported - heard| exceeds LIMIT ms, or its\n"
        "                95th percentile twice that (the recording's own clock strays by a few ms)\n",
        program);
}

std::optional<Options> parse(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc) {
            return std::nullopt;
        }
        const char* value = argv[++i];
        if (name == "--module") {
            options.module = value;
        } else if (name == "--recording") {
            options.recording = value;
        } else if (name == "--positions") {
            options.positions = value;
        } else if (name == "--screen") {
            options.screen = value;
        } else if (name == "--skip") {
            options.skip = std::atof(value);
        } else if (name == "--errors") {
            options.errorsOut = value;
        } else if (name == "--check-ms") {
            options.checkMs = std::atof(value);
        } else if (name == "--flash-orders") {
            if (std::sscanf(value, "%d-%d", &options.flashFirstOrder, &options.flashLastOrder) != 2) {
                return std::nullopt;
            }
        } else {
            return std::nullopt;
        }
    }
    if (options.module.empty() || options.recording.empty() || options.positions.empty()) {
        return std::nullopt;
    }
    return options;
}

template <typename T> bool loaded(const std::optional<T>& value, const std::string& error)
{
    if (!value) {
        std::fprintf(stderr, "sync_analysis: %s\n", error.c_str());
    }
    return static_cast<bool>(value);
}

// Of the beat rows 0, 1, 8, 9, 16, 17, 24 and 25, the first of each pair starts a flash.
bool isFlashRow(int row)
{
    return row % 8 == 0 && row < 32;
}

} // namespace

int main(int argc, char** argv)
{
    const std::optional<Options> parsed = parse(argc, argv);
    if (!parsed) {
        usage(argv[0]);
        return exitUsage;
    }
    const Options& options = *parsed;

    std::string error;
    const auto recording = readStereoAsMono(options.recording + ".f32", error);
    if (!loaded(recording, error)) {
        return exitUnaligned;
    }
    const auto stamps = readCaptureStamps(options.recording + ".stamps", error);
    if (!loaded(stamps, error)) {
        return exitUnaligned;
    }
    const auto positions = readPositionLog(options.positions, error);
    if (!loaded(positions, error)) {
        return exitUnaligned;
    }
    std::optional<std::vector<ScreenUpdate>> updates;
    if (!options.screen.empty()) {
        updates = readScreenUpdates(options.screen, error);
        if (!loaded(updates, error)) {
            return exitUnaligned;
        }
    }
    const CaptureClock clock(*stamps, rate);
    if (!clock.valid() || positions->empty()) {
        std::fprintf(stderr, "sync_analysis: no capture stamps or no reported positions\n");
        return exitUnaligned;
    }

    // the reference never needs to be longer than the recording
    ModuleReference reference;
    if (!reference.render(options.module, rate, static_cast<int64_t>(recording->size()), error)) {
        std::fprintf(stderr, "sync_analysis: %s\n", error.c_str());
        return exitUnaligned;
    }

    // The module restarts from order 0 row 0 when the first position is read: its
    // start is heard after whatever the device still held, which can be more than a
    // second when the first frames are slow. It may have played during loading already,
    // but that began more than a second before the restart.
    const double firstRead = static_cast<double>(positions->front().readNs) * 1e-9;
    const int64_t hint = static_cast<int64_t>(clock.frameAt(firstRead));
    RecordingAligner aligner;
    if (!aligner.align(reference.mono(), *recording, hint - rate / 4, hint + 5 * rate / 2)) {
        std::fprintf(stderr, "sync_analysis: the module's start is not in the recording near %.3f s\n",
            static_cast<double>(hint) / rate);
        return exitUnaligned;
    }
    const HeardTimeline heard(reference.rows(), aligner, clock);
    // frame 0 at the first shift followed, even where following began later
    const std::vector<AlignedStretch>& stretches = aligner.stretches();
    const double musicStart = clock.timeOf(static_cast<double>(stretches.front().shift));

    // While an underrun's silence plays nothing is heard to compare with: positions
    // for those instants are left out.
    std::vector<std::pair<double, double>> silences;
    for (const auto& [first, end] : aligner.gapSpans()) {
        silences.emplace_back(
            clock.timeOf(static_cast<double>(first)), clock.timeOf(static_cast<double>(end)));
    }
    const auto inSilence = [&](double seconds) {
        return std::any_of(silences.begin(), silences.end(),
            [&](const auto& span) { return seconds >= span.first && seconds < span.second; });
    };

    // reported minus heard: positive when the reported position is heard only later
    std::vector<double> errors;
    std::FILE* errorsFile = options.errorsOut.empty() ? nullptr : std::fopen(options.errorsOut.c_str(), "w");
    size_t unplaced = 0;
    size_t silent = 0;
    for (const ReportedPosition& position : *positions) {
        const double reportedFor = static_cast<double>(position.forNs) * 1e-9;
        if (reportedFor < musicStart + options.skip) {
            continue;
        }
        if (inSilence(reportedFor)) {
            ++silent;
            continue;
        }
        const std::optional<double> frame
            = heard.referenceFrameOf(position.order, position.row, position.fraction);
        const std::optional<double> when = frame ? heard.heardAt(*frame) : std::nullopt;
        if (!when) {
            ++unplaced;
            continue;
        }
        errors.push_back((*when - reportedFor) * 1e3);
        if (errorsFile != nullptr) {
            std::fprintf(errorsFile, "%lld %d %d %.5f %.3f\n", static_cast<long long>(position.forNs),
                position.order, position.row, position.fraction, errors.back());
        }
    }
    if (errorsFile != nullptr) {
        std::fclose(errorsFile);
    }
    const SampleStats offBy = summarize(errors);

    const double heardSeconds = static_cast<double>(stretches.back().referenceEnd) / rate;
    std::printf(
        "recording: %.1f s, capture clock scatter %.2f ms (%.0f %% of the readings left out); music "
        "start heard %.0f ms after the first position was read (match %.3f), followed for %.1f s in %zu "
        "stretch(es)\n",
        static_cast<double>(recording->size()) / rate, clock.scatterMs(), clock.rejectedShare() * 100.0,
        (musicStart - firstRead) * 1e3, aligner.anchorScore(), heardSeconds, stretches.size());
    std::printf("underruns: %d gap(s) (silence inserted), %d drop(s) (audio lost)\n", aligner.gaps(),
        aligner.drops());
    std::printf(
        "reported minus heard, ms (+ = early): mean %.1f, spread %.1f, median %.1f, |.| median %.1f, "
        "p95 %.1f, max %.1f (%zu positions; left out: %zu for instants inside gaps, %zu of audio never "
        "heard)\n",
        offBy.mean, offBy.spread, offBy.median, offBy.medianAbs, offBy.p95Abs, offBy.maxAbs, offBy.count,
        silent, unplaced);

    SampleStats flash;
    size_t beats = 0;
    double screenRate = 0.0;
    if (updates && !updates->empty()) {
        const std::vector<double> onsets = FlashDetector().onsets(*updates);
        const double firstSeen = static_cast<double>(updates->front().ns) * 1e-9;
        const double lastSeen = static_cast<double>(updates->back().ns) * 1e-9;
        std::vector<double> offsets;
        for (const RowStart& row : heard.rows()) {
            // the run's first row is drawn on the scene's first frame: no flash to see
            const bool first = row.frame == 0;
            if (first || !isFlashRow(row.row) || row.order < options.flashFirstOrder
                || row.order > options.flashLastOrder) {
                continue;
            }
            const std::optional<double> beat = heard.heardAt(static_cast<double>(row.frame));
            if (!beat || *beat < firstSeen + 0.5 || *beat > lastSeen - 0.5) {
                continue;
            }
            ++beats;
            double offset = 0.0;
            if (nearestOnset(onsets, *beat, 0.5, offset)) {
                offsets.push_back(offset * 1e3);
            }
        }
        flash = summarize(offsets);
        // the window's updates a second while the music played
        const size_t withMusic = static_cast<size_t>(std::count_if(updates->begin(), updates->end(),
            [&](const ScreenUpdate& update) { return static_cast<double>(update.ns) * 1e-9 >= musicStart; }));
        screenRate = lastSeen > musicStart ? static_cast<double>(withMusic) / (lastSeen - musicStart) : 0.0;
        std::printf("flash on screen minus beat heard, ms: mean %.1f, spread %.1f, min %.1f, max %.1f "
                    "(%zu of %zu beats; %.0f screen updates a second)\n",
            flash.mean, flash.spread, flash.min, flash.max, flash.count, beats, screenRate);
    }

    std::printf(
        "figures: position_mean=%.2f position_spread=%.2f position_median=%.2f position_abs_median=%.2f "
        "position_abs_p95=%.2f position_abs_max=%.2f positions=%zu flash_mean=%.2f flash_spread=%.2f "
        "flash_min=%.2f flash_max=%.2f flashes=%zu beats=%zu screen_rate=%.1f gaps=%d drops=%d\n",
        offBy.mean, offBy.spread, offBy.median, offBy.medianAbs, offBy.p95Abs, offBy.maxAbs, offBy.count,
        flash.mean, flash.spread, flash.min, flash.max, flash.count, beats, screenRate, aligner.gaps(),
        aligner.drops());

    if (options.checkMs > 0.0) {
        if (offBy.count < fewestChecked) {
            std::printf("check: FAILED, only %zu positions to judge (at least %zu needed)\n", offBy.count,
                fewestChecked);
            return exitOff;
        }
        const bool within = offBy.medianAbs <= options.checkMs && offBy.p95Abs <= 2.0 * options.checkMs;
        std::printf("check: %s, |reported - heard| median %.1f ms (limit %.1f) and 95th percentile %.1f ms"
                    " (limit %.1f)\n",
            within ? "passed" : "FAILED", offBy.medianAbs, options.checkMs, offBy.p95Abs,
            2.0 * options.checkMs);
        if (!within) {
            return exitOff;
        }
    }
    return 0;
}
