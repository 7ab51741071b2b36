// The files the sync measurement writes and reads: the demo's position log, the
// recorder's capture stamps and the grabber's screen updates. All times are
// CLOCK_MONOTONIC nanoseconds, so the three can be compared directly.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace syncbench {

// One position the demo reported: "<read ns> <for ns> <order> <row> <fraction>".
struct ReportedPosition {
    int64_t readNs = 0;
    int64_t forNs = 0; // the instant the position describes
    int order = 0;
    int row = 0;
    double fraction = 0.0; // part of the row already played, [0, 1)
};

// One reading of the record stream: after `frames` frames had been read, the
// stream's latency said the next frame was captured `latencyUs` before `nowNs`.
struct CaptureStamp {
    int64_t frames = 0;
    int64_t nowNs = 0;
    int64_t latencyUs = 0; // may be negative when the server says so
};

// One update of the demo window: when it was seen and how bright it was (0..255,
// mean of the three channels), as a whole and in four horizontal bands, top first.
struct ScreenUpdate {
    static constexpr int bandCount = 4;
    int64_t ns = 0;
    double whole = 0.0;
    double bands[bandCount] = {};
};

// Each reader returns nullopt when the file cannot be opened or a line is malformed;
// `error` then says which line.
std::optional<std::vector<ReportedPosition>> readPositionLog(const std::string& path, std::string& error);
std::optional<std::vector<CaptureStamp>> readCaptureStamps(const std::string& path, std::string& error);
std::optional<std::vector<ScreenUpdate>> readScreenUpdates(const std::string& path, std::string& error);

// Interleaved stereo float32 as the recorder writes it, averaged to mono.
std::optional<std::vector<float>> readStereoAsMono(const std::string& path, std::string& error);

} // namespace syncbench
