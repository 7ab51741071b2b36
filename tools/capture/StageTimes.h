// Where a capture's time goes: wall and thread CPU seconds summed per stage over the
// frames, from any thread; written to the debug channel (VORIMEL_DEBUG=1) at the end.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

class StageTimes {
public:
    enum Stage {
        pass,    // the GL thread's main-loop pass: drawing, read-back and hand-over included
        read,    // read-back of a frame begun, waits for the rasteriser included
        fetch,   // the bytes of a read begun earlier copied out
        wait,    // the GL thread waiting for a free frame buffer
        audio,   // the music rendered and written
        encode,  // PNG compression, on the encoders
        deliver, // files written and frames piped to ffmpeg, in frame order
        stageCount
    };

    // Adds the time from its construction to its destruction to a stage.
    class Scope {
    public:
        Scope(StageTimes& times, Stage stage);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        StageTimes& times_;
        Stage stage_;
        std::chrono::steady_clock::time_point wallStart_;
        int64_t cpuStart_;
    };

    // CPU nanoseconds the calling thread has run.
    static int64_t threadCpuNanoseconds();

    void add(Stage stage, int64_t wallNanoseconds, int64_t cpuNanoseconds);
    // One line per stage that ran: calls, wall and CPU seconds, ms per call.
    std::string report() const;

private:
    struct Totals {
        std::atomic<uint64_t> calls { 0 };
        std::atomic<int64_t> wall { 0 };
        std::atomic<int64_t> cpu { 0 };
    };
    Totals totals_[stageCount];
};
