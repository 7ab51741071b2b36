// One mutex and one condition for every change: the queue, the spare buffers and the
// turn to deliver. A worker takes the oldest frame, encodes it unlocked, waits for
// its turn, delivers it unlocked, and hands the buffer back. Frames are taken in
// order, so the oldest frame in work never waits for another: no deadlock.
#include "FrameWriter.h"

#include <cassert>
#include <utility>

FrameWriter::FrameWriter(size_t frameBytes, size_t depth, size_t encoders, Encode encode, Deliver deliver)
    : frameBytes_(frameBytes)
    , depth_(depth)
    , encode_(std::move(encode))
    , deliver_(std::move(deliver))
{
    assert(encoders >= 1 && depth > encoders && "the GL thread needs a buffer while every encoder holds one");
    for (size_t n = 0; n < encoders; ++n)
        workers_.emplace_back([this] { work(); });
}

FrameWriter::~FrameWriter()
{
    std::string ignored;
    finish(ignored);
}

std::vector<uint8_t> FrameWriter::acquire()
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !spare_.empty() || allocated_ < depth_; });
    if (spare_.empty()) {
        ++allocated_;
        return std::vector<uint8_t>(frameBytes_);
    }
    std::vector<uint8_t> buffer = std::move(spare_.back());
    spare_.pop_back();
    return buffer;
}

void FrameWriter::submit(std::vector<uint8_t> pixels)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queued_.push_back(std::move(pixels));
    }
    changed_.notify_all();
}

bool FrameWriter::finish(std::string& error)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    for (std::thread& worker : workers_)
        if (worker.joinable())
            worker.join();
    std::lock_guard<std::mutex> lock(mutex_);
    error = error_;
    return !failed_;
}

void FrameWriter::dropFrames()
{
    std::lock_guard<std::mutex> lock(mutex_);
    dropping_ = true;
}

bool FrameWriter::failed() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return failed_;
}

size_t FrameWriter::buffersMade() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return allocated_;
}

void FrameWriter::work()
{
    std::vector<uint8_t> encoded;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return !queued_.empty() || stopping_; });
        if (queued_.empty())
            return; // stopping, and every frame taken
        std::vector<uint8_t> pixels = std::move(queued_.front());
        queued_.pop_front();
        const uint64_t frame = taken_++;

        std::string error;
        bool done = true;
        if (writing()) {
            lock.unlock();
            done = encode_(frame, pixels, encoded, error);
            lock.lock();
        }
        changed_.wait(lock, [this, frame] { return delivered_ == frame; });
        if (done && writing()) {
            lock.unlock();
            done = deliver_(frame, pixels, encoded, error);
            lock.lock();
        }
        if (!done && !failed_) {
            failed_ = true;
            error_ = error;
        }
        ++delivered_;
        spare_.push_back(std::move(pixels));
        changed_.notify_all();
    }
}
