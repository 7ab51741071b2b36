// Decodes a tracker module with libopenmpt in small chunks into a caller's buffer, and
// remembers, per chunk, where in the module each rendered sample stands. Shared by the
// device-driven backend and offline rendering; knows nothing about devices or clocks.
// Not thread safe: the owner serialises every call.
#pragma once

#include "platform/audio/MusicPosition.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct openmpt_module;

namespace platform {

class ModuleRenderer {
public:
    // one position record per chunk: 5.8 ms at 44100 Hz
    static constexpr int chunkFrames = 256;
    // libopenmpt is asked for at most this many frames at a time, so a row start is
    // located to within one step (0.7 ms at 44100 Hz)
    static constexpr int stepFrames = 32;
    // records not yet audible; 128 chunks cover 0.74 s of buffered output
    static constexpr int fifoCapacity = 128;
    // mono history kept for the spectrum, in frames (a power of two)
    static constexpr int monoRingFrames = 16384;
    static constexpr int monoWindowFrames = 1024;

    explicit ModuleRenderer(int sampleRate);
    ~ModuleRenderer();
    ModuleRenderer(const ModuleRenderer&) = delete;
    ModuleRenderer& operator=(const ModuleRenderer&) = delete;

    // a module file is refused beyond this size before it is read
    static constexpr uint64_t maxFileBytes = uint64_t { 64 } << 20;

    // Reads a module file whole: a regular file of at most maxFileBytes. False
    // otherwise, with the path and the reason in `error`.
    static bool readFile(const char* path, std::vector<char>& bytes, std::string& error);

    // False when the file cannot be read or is no module; lastError() then names the
    // file and says why.
    bool loadFile(const char* path);
    // False when the bytes are no module; lastError() says why.
    bool loadMemory(const void* data, size_t size);
    bool loaded() const { return module != nullptr; }
    const std::string& lastError() const { return error; }
    int sampleRate() const { return rate; }

    // Continues from the start of a row. False, and nothing changes, when the module
    // has no such order or row (libopenmpt itself would ignore it silently).
    bool seek(int order, int row);
    // The same, from an earlier frame: what was rendered from that frame on (audio
    // rendered ahead that nobody took) is forgotten, and the row starts there.
    bool seek(int order, int row, uint64_t fromFrame);

    // Renders interleaved stereo floats into the caller's buffer, every frame written:
    // silence once the module has ended (or when none is loaded).
    void render(float* interleavedStereo, size_t frames);
    // Writes silence and advances the sample clock without touching the module.
    void renderSilence(float* interleavedStereo, size_t frames);

    // Starts the frame count at the given absolute index, so that a module loaded
    // while a device runs carries on the device's count. Only before the first render.
    void startAtFrame(uint64_t frameIndex);
    // Absolute index of the next frame to render.
    uint64_t renderedFrames() const { return rendered; }
    // True once libopenmpt has played to the module's end.
    bool ended() const { return finished; }
    // Once ended: absolute index of the first frame after the music, the first silent one.
    uint64_t endFrame() const { return musicEnd; }

    // Where the music stands once the given absolute frame has played: the row of the
    // chunk that holds it (or of the chunk before, for a frame ahead of a row that began
    // inside the chunk) and the part of that row played by then. Records of chunks
    // wholly before it are dropped, so queries must not go backwards in time. A frame
    // not rendered yet reads as the end of the last chunk dropped.
    ModulePosition positionAt(uint64_t frameIndex);

    // The monoWindowFrames mono frames (channels averaged) that end just before
    // endIndex; frames never rendered or no longer kept read as 0.
    void monoSamples(uint64_t endIndex, float out[monoWindowFrames]) const;

private:
    // A row as rendered: where it began (fractional frame index) and how long it lasts.
    struct RowSpan {
        uint16_t order = 0;
        uint16_t row = 0;
        double start = 0.0;
        double length = 1.0;
        bool advancing = true; // false while silence holds the row

        ModulePosition at(double frame) const;
    };
    struct Record {
        uint64_t end = 0; // absolute index one past the chunk's last frame
        RowSpan span;     // the row at the chunk's end
    };

    // Chunks end on multiples of chunkFrames, whatever sizes the caller asks for.
    void renderChunks(float* interleavedStereo, size_t frames, bool playing);
    void renderChunk(float* out, size_t frames, bool playing);
    void trackRow(uint64_t stepStart, size_t stepLength);
    void startRow(int order, int row, double startFrame);
    RowSpan currentSpan(bool advancing) const;
    void pushRecord(bool advancing);
    void forgetFrom(uint64_t frame);

    int rate;
    openmpt_module* module = nullptr;
    std::string error;
    bool finished = false;
    uint64_t musicEnd = 0;
    uint64_t rendered = 0;

    // the row being rendered: where it began (fractional frame index) and how long it lasts
    int currentOrder = 0;
    int currentRow = 0;
    double rowStart = 0.0;
    double rowLength = 1.0;

    std::array<Record, fifoCapacity> fifo;
    int fifoHead = 0;
    int fifoCount = 0;
    Record lastDropped;

    std::array<float, monoRingFrames> monoRing {};
};

} // namespace platform
