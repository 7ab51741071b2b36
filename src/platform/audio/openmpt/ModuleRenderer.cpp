// libopenmpt decoding in chunks, with a FIFO of per-chunk positions and a mono ring.
//
// Row fraction: libopenmpt reports the order and row of the tick it last processed,
// not the tick itself. The renderer asks for at most stepFrames frames at a time, so
// when the reported row changes, the new row began inside that step; its middle is
// taken as the row start (off by at most stepFrames / 2). The fraction is the number
// of frames since then over the row's length from speed and tempo: speed ticks of
// 2.5 / tempo seconds each (the classic tempo mode of Impulse Tracker modules).
// Pattern delays and fine delays stretch a row beyond that length; the fraction then
// stays just below 1 until the next row starts.
#include "platform/audio/openmpt/ModuleRenderer.h"

#include "platform/DataFile.h"
#include "platform/DebugOutput.h"

#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdio>
#include <vector>

namespace platform {

namespace {

constexpr int ringMask = ModuleRenderer::monoRingFrames - 1;
static_assert((ModuleRenderer::monoRingFrames & ringMask) == 0, "the mono ring size is a power of two");
static_assert(ModuleRenderer::chunkFrames % ModuleRenderer::stepFrames == 0, "chunks are whole steps");

// the largest float below 1: the fraction never reads as the next row
constexpr float maxFraction = 0.99999994f;

// libopenmpt's log goes to the debug channel, never straight to stderr. Formatted on
// the stack: libopenmpt may log from inside a render call on the audio thread.
void logToDebug(const char* message, void*)
{
    char line[512];
    std::snprintf(line, sizeof line, "libopenmpt: %s\n", message != nullptr ? message : "");
    debugOutput(line);
}

} // namespace

ModuleRenderer::ModuleRenderer(int sampleRate)
    : rate(sampleRate)
{
}

ModuleRenderer::~ModuleRenderer()
{
    if (module != nullptr) {
        openmpt_module_destroy(module);
    }
}

bool ModuleRenderer::readFile(const char* path, std::vector<char>& bytes, std::string& error)
{
    constexpr uint64_t megabyte = uint64_t { 1 } << 20;
    DataFile file;
    if (!file.open(path)) {
        error = std::string(path) + ": " + file.error();
        return false;
    }
    if (file.size() > maxFileBytes) {
        error = std::string(path) + ": " + std::to_string((file.size() + megabyte - 1) / megabyte)
            + " MB, more than the " + std::to_string(maxFileBytes / megabyte) + " MB a module may have";
        return false;
    }
    if (!file.readAll(bytes, maxFileBytes)) {
        error = std::string(path) + ": " + file.error();
        return false;
    }
    return true;
}

bool ModuleRenderer::loadFile(const char* path)
{
    std::vector<char> bytes;
    if (!readFile(path, bytes, error))
        return false;
    if (!loadMemory(bytes.data(), bytes.size())) {
        error = std::string(path) + ": " + error;
        return false;
    }
    return true;
}

bool ModuleRenderer::loadMemory(const void* data, size_t size)
{
    int code = OPENMPT_ERROR_OK;
    const char* message = nullptr;
    // "stop": reads return 0 frames from the exact end on, instead of a fade-out
    // during which libopenmpt already reports the restart position
    const openmpt_module_initial_ctl ctls[] = { { "play.at_end", "stop" }, { nullptr, nullptr } };
    openmpt_module* loadedModule = openmpt_module_create_from_memory2(
        data, size, logToDebug, nullptr, openmpt_error_func_default, nullptr, &code, &message, ctls);
    if (loadedModule == nullptr) {
        const std::string cause = message != nullptr ? message : openmpt_error_string(code);
        if (message != nullptr) {
            openmpt_free_string(message);
        }
        error = "not a module that libopenmpt can play";
        if (!cause.empty()) {
            error += " (libopenmpt: " + cause + ")";
        }
        return false;
    }
    if (message != nullptr) {
        openmpt_free_string(message);
    }
    if (module != nullptr) {
        openmpt_module_destroy(module);
    }
    module = loadedModule;
    error.clear();
    finished = false;
    startRow(openmpt_module_get_current_order(module), openmpt_module_get_current_row(module),
        static_cast<double>(rendered));
    lastDropped = Record { rendered, currentSpan(true) };
    return true;
}

bool ModuleRenderer::seek(int order, int row)
{
    return seek(order, row, rendered);
}

bool ModuleRenderer::seek(int order, int row, uint64_t fromFrame)
{
    if (module == nullptr || order < 0 || order >= openmpt_module_get_num_orders(module)) {
        return false;
    }
    const int pattern = openmpt_module_get_order_pattern(module, order);
    if (pattern < 0 || pattern >= openmpt_module_get_num_patterns(module)) {
        return false; // end-of-song or skip marker
    }
    if (row < 0 || row >= openmpt_module_get_pattern_num_rows(module, pattern)) {
        return false;
    }
    openmpt_module_set_position_order_row(module, order, row);
    finished = false;
    forgetFrom(fromFrame);
    startRow(order, row, static_cast<double>(rendered));
    return true;
}

void ModuleRenderer::forgetFrom(uint64_t frame)
{
    if (frame >= rendered)
        return;
    // the records of chunks that begin at or after the frame go; the one that holds it ends there
    while (fifoCount > 0) {
        Record& newest = fifo[(fifoHead + fifoCount - 1) % fifoCapacity];
        const uint64_t begins
            = fifoCount > 1 ? fifo[(fifoHead + fifoCount - 2) % fifoCapacity].end : lastDropped.end;
        if (begins < frame) {
            newest.end = std::min(newest.end, frame);
            break;
        }
        --fifoCount;
    }
    lastDropped.end = std::min(lastDropped.end, frame);
    rendered = frame;
}

void ModuleRenderer::startAtFrame(uint64_t frameIndex)
{
    assert(fifoCount == 0 && "startAtFrame comes before the first render");
    rowStart += static_cast<double>(frameIndex) - static_cast<double>(rendered);
    rendered = frameIndex;
}

void ModuleRenderer::render(float* interleavedStereo, size_t frames)
{
    renderChunks(interleavedStereo, frames, true);
}

void ModuleRenderer::renderSilence(float* interleavedStereo, size_t frames)
{
    renderChunks(interleavedStereo, frames, false);
}

void ModuleRenderer::renderChunks(float* interleavedStereo, size_t frames, bool playing)
{
    while (frames > 0) {
        const size_t toBoundary = chunkFrames - static_cast<size_t>(rendered % chunkFrames);
        const size_t chunk = std::min(frames, toBoundary);
        renderChunk(interleavedStereo, chunk, playing);
        interleavedStereo += 2 * chunk;
        frames -= chunk;
    }
}

void ModuleRenderer::renderChunk(float* out, size_t frames, bool playing)
{
    for (size_t done = 0; done < frames;) {
        const size_t step = std::min(frames - done, static_cast<size_t>(stepFrames));
        float* stepOut = out + 2 * done;
        const uint64_t stepStart = rendered + done;
        size_t got = 0;
        if (playing && module != nullptr && !finished) {
            got = openmpt_module_read_interleaved_float_stereo(module, rate, step, stepOut);
            if (got == step) {
                trackRow(stepStart, got);
            } else {
                // the song ended inside this step; libopenmpt already reports the
                // restart position, which is never heard: keep the last row
                finished = true;
                musicEnd = stepStart + got;
            }
        }
        std::fill(stepOut + 2 * got, stepOut + 2 * step, 0.0f);
        for (size_t i = 0; i < step; ++i) {
            monoRing[(stepStart + i) & ringMask] = 0.5f * (stepOut[2 * i] + stepOut[2 * i + 1]);
        }
        done += step;
    }
    if (!playing) {
        rowStart += static_cast<double>(frames); // a held row does not advance
    }
    rendered += frames;
    pushRecord(playing);
}

void ModuleRenderer::trackRow(uint64_t stepStart, size_t stepLength)
{
    const int order = openmpt_module_get_current_order(module);
    const int row = openmpt_module_get_current_row(module);
    if (order != currentOrder || row != currentRow) {
        startRow(order, row, static_cast<double>(stepStart) + 0.5 * static_cast<double>(stepLength));
    }
}

void ModuleRenderer::startRow(int order, int row, double startFrame)
{
    currentOrder = order;
    currentRow = row;
    rowStart = startFrame;
    const int speed = openmpt_module_get_current_speed(module);
    const int tempo = openmpt_module_get_current_tempo(module);
    rowLength = (speed > 0 && tempo > 0) ? speed * 2.5 * rate / tempo : 1.0;
}

ModulePosition ModuleRenderer::RowSpan::at(double frame) const
{
    ModulePosition position;
    position.order = order;
    position.row = row;
    position.rowFraction = std::clamp(static_cast<float>((frame - start) / length), 0.0f, maxFraction);
    return position;
}

ModuleRenderer::RowSpan ModuleRenderer::currentSpan(bool advancing) const
{
    RowSpan span;
    span.order = static_cast<uint16_t>(std::max(currentOrder, 0));
    span.row = static_cast<uint16_t>(std::max(currentRow, 0));
    span.start = rowStart;
    span.length = rowLength;
    span.advancing = advancing;
    return span;
}

void ModuleRenderer::pushRecord(bool advancing)
{
    if (fifoCount == fifoCapacity) {
        // nobody asked for a long time: the oldest record is long gone from the device
        lastDropped = fifo[fifoHead];
        fifoHead = (fifoHead + 1) % fifoCapacity;
        --fifoCount;
    }
    fifo[(fifoHead + fifoCount) % fifoCapacity] = Record { rendered, currentSpan(advancing) };
    ++fifoCount;
}

ModulePosition ModuleRenderer::positionAt(uint64_t frameIndex)
{
    while (fifoCount > 0 && fifo[fifoHead].end <= frameIndex) {
        lastDropped = fifo[fifoHead];
        fifoHead = (fifoHead + 1) % fifoCapacity;
        --fifoCount;
    }
    if (fifoCount == 0) {
        return lastDropped.span.at(static_cast<double>(lastDropped.end));
    }
    const Record& chunk = fifo[fifoHead];
    const double played = static_cast<double>(frameIndex) + 1.0;
    if (!chunk.span.advancing) {
        return chunk.span.at(static_cast<double>(chunk.end)); // a held row stands still
    }
    if (played >= chunk.span.start || !lastDropped.span.advancing) {
        return chunk.span.at(played);
    }
    return lastDropped.span.at(played); // the chunk's row began after this frame
}

void ModuleRenderer::monoSamples(uint64_t endIndex, float out[monoWindowFrames]) const
{
    endIndex = std::min(endIndex, rendered);
    for (int i = 0; i < monoWindowFrames; ++i) {
        const uint64_t back = static_cast<uint64_t>(monoWindowFrames - i); // frames before endIndex
        const bool kept = back <= endIndex && rendered - (endIndex - back) <= monoRingFrames;
        out[i] = kept ? monoRing[(endIndex - back) & ringMask] : 0.0f;
    }
}

} // namespace platform
