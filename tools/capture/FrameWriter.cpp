// One worker, one mutex, one condition for every change of the queue.
#include "FrameWriter.h"

#include <utility>

FrameWriter::FrameWriter(size_t frameBytes, size_t depth, Sink sink)
    : frameBytes_(frameBytes)
    , depth_(depth)
    , sink_(std::move(sink))
    , worker_([this] { work(); })
{
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
    if (worker_.joinable())
        worker_.join();
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

void FrameWriter::work()
{
    uint64_t frame = 0;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return !queued_.empty() || stopping_; });
        if (queued_.empty())
            return; // stopping, and everything written
        std::vector<uint8_t> pixels = std::move(queued_.front());
        queued_.pop_front();
        const bool write = !failed_ && !dropping_;
        lock.unlock();

        std::string error;
        const bool written = !write || sink_(frame, pixels, error);
        ++frame;

        lock.lock();
        if (!written && !failed_) {
            failed_ = true;
            error_ = error;
        }
        spare_.push_back(std::move(pixels));
        changed_.notify_all();
    }
}
