// Frames handed from the GL thread to workers through a bounded queue of reused
// buffers. Several encoders work on consecutive frames at once; each frame is then
// delivered (written to its file, piped to ffmpeg) strictly in frame order, one at a
// time. The GL thread waits only when every buffer is in use.
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
    // On any encoder, frames in parallel: turns the pixels into what is delivered,
    // in `encoded` (the encoder's own, reused from frame to frame). False with the
    // cause in error stops the writing: later frames are then dropped.
    using Encode = std::function<bool(uint64_t frame, const std::vector<uint8_t>& pixels,
        std::vector<uint8_t>& encoded, std::string& error)>;
    // Once per frame, in frame order, never two at once; fails as Encode does.
    using Deliver = std::function<bool(uint64_t frame, const std::vector<uint8_t>& pixels,
        const std::vector<uint8_t>& encoded, std::string& error)>;

    // depth: the buffers there may be, encoders + 1 at least, so that the GL thread
    // can fill one while every encoder holds one.
    FrameWriter(size_t frameBytes, size_t depth, size_t encoders, Encode encode, Deliver deliver);
    ~FrameWriter();
    FrameWriter(const FrameWriter&) = delete;
    FrameWriter& operator=(const FrameWriter&) = delete;

    // A buffer of frameBytes to fill; waits while all `depth` buffers are in use.
    std::vector<uint8_t> acquire();
    // Queues a buffer from acquire() as the next frame.
    void submit(std::vector<uint8_t> pixels);
    // Delivers everything queued and stops the workers. False with the first error,
    // in frame order.
    bool finish(std::string& error);
    // From now on frames are dropped instead of written, the queued ones included: a
    // capture that stops early need not wait for them.
    void dropFrames();
    bool failed() const;
    // Frame buffers made so far: the most that were ever in flight at once.
    size_t buffersMade() const;

private:
    void work();
    bool writing() const { return !failed_ && !dropping_; }

    const size_t frameBytes_;
    const size_t depth_;
    Encode encode_;
    Deliver deliver_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<uint8_t>> queued_;
    std::vector<std::vector<uint8_t>> spare_;
    size_t allocated_ = 0;
    uint64_t taken_ = 0;     // frames an encoder has taken
    uint64_t delivered_ = 0; // frames whose turn to be delivered has passed
    bool stopping_ = false;
    bool dropping_ = false;
    bool failed_ = false;
    std::string error_;
    std::vector<std::thread> workers_;
};
