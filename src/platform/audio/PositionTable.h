// The music as heard in a browser, rendered beforehand: where each row of the module
// starts in the rendered audio (frame -> order, row). Written natively at build time
// beside the audio file, read by the browser's audio backend, which then needs no
// module player of its own.
#pragma once

#include "platform/audio/MusicPosition.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class PositionTable {
public:
    struct RowStart {
        uint64_t frame = 0;
        uint16_t order = 0;
        uint16_t row = 0;
    };

    PositionTable() = default;
    explicit PositionTable(int sampleRate)
        : rate(sampleRate)
    {
    }

    // Building: rows in the order they are heard, each from its first frame on; a
    // row equal to the last one added is taken as its continuation.
    void addRow(uint64_t frame, int order, int row);
    // The audio's length in frames: the music ends there.
    void setFrames(uint64_t count) { frames = count; }

    std::string serialise() const;
    // False, with the reason in `error` and the table left as it was, for text that
    // is not a whole, well-formed table.
    bool parse(const std::string& text, std::string& error);
    // Reads a table file through the data loader.
    bool load(const char* path, std::string& error);

    int sampleRate() const { return rate; }
    uint64_t frameCount() const { return frames; }
    const std::vector<RowStart>& rowStarts() const { return rows; }

    // The row that holds the frame and the part of it played by then, measured to the
    // next row's start (or the end of the audio). Before the first row: order 0 row 0.
    ModulePosition positionAt(uint64_t frame) const;
    // The first frame of the first time the order reaches that row; none when the
    // music never plays it.
    std::optional<uint64_t> frameOf(int order, int row) const;

private:
    int rate = 44100;
    uint64_t frames = 0;
    std::vector<RowStart> rows;
};

} // namespace platform
