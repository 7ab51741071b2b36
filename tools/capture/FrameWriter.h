// Frames handed from the GL thread to a worker that encodes and writes them, through a
// bounded queue of reused buffers: the GL thread waits only when the worker is that
// many frames behind.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class FrameWriter {
public:
    // Runs on the worker, once per frame in submission order; returns false with the
    // cause in error to stop the writing (later frames are then dropped).
    using Sink = std::function<bool(uint64_t frame, const std::vector<uint8_t>& pixels, std::string& error)>;

    FrameWriter(size_t frameBytes, size_t depth, Sink sink);
    ~FrameWriter();
    FrameWriter(const FrameWriter&) = delete;
    FrameWriter& operator=(const FrameWriter&) = delete;

    // A buffer of frameBytes to fill; waits while all `depth` buffers are in use.
    std::vector<uint8_t> acquire();
    // Queues a buffer from acquire() as the next frame.
    void submit(std::vector<uint8_t> pixels);
    // Writes everything queued and stops the worker. False with the first error.
    bool finish(std::string& error);
    // From now on frames are dropped instead of written, the queued ones included: a
    // capture that stops early need not wait for them.
    void dropFrames();
    bool failed() const;

private:
    void work();

    const size_t frameBytes_;
    const size_t depth_;
    Sink sink_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<uint8_t>> queued_;
    std::vector<std::vector<uint8_t>> spare_;
    size_t allocated_ = 0;
    bool stopping_ = false;
    bool dropping_ = false;
    bool failed_ = false;
    std::string error_;
    std::thread worker_;
};
