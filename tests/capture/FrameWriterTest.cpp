// The frame writer's guarantees, with encoders that finish out of order: every frame
// delivered once and in order with its own encoding, no more buffers than asked for,
// the first failure in frame order reported and nothing delivered after it.
#include "FrameWriter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr size_t frameBytes = 16;

// A frame whose bytes all hold its number.
void fill(std::vector<uint8_t>& buffer, uint64_t frame)
{
    std::memset(buffer.data(), static_cast<int>(frame & 0xff), buffer.size());
}

// Encodes a frame as its first byte, later frames quicker than earlier ones on
// alternate encoders, so that encodings finish out of order.
bool slowFirst(
    uint64_t frame, const std::vector<uint8_t>& pixels, std::vector<uint8_t>& encoded, std::string&)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(frame % 2 == 0 ? 3 : 0));
    encoded.assign(1, pixels.at(0));
    return true;
}

void submitFrames(FrameWriter& writer, uint64_t count)
{
    for (uint64_t frame = 0; frame < count; ++frame) {
        std::vector<uint8_t> buffer = writer.acquire();
        ASSERT_EQ(buffer.size(), frameBytes);
        fill(buffer, frame);
        writer.submit(std::move(buffer));
    }
}

TEST(FrameWriter, DeliversEveryFrameInOrderWithItsOwnEncoding)
{
    for (const size_t encoders : { 1, 2, 3 }) {
        std::vector<uint64_t> delivered;
        std::atomic<int> delivering { 0 };
        bool overlapped = false;
        bool mismatched = false;
        FrameWriter writer(frameBytes, encoders + 1, encoders, slowFirst,
            [&](uint64_t frame, const std::vector<uint8_t>& pixels, const std::vector<uint8_t>& encoded,
                std::string&) {
                overlapped |= delivering.fetch_add(1) != 0;
                mismatched
                    |= pixels.at(0) != (frame & 0xff) || encoded != std::vector<uint8_t> { pixels.at(0) };
                delivered.push_back(frame);
                std::this_thread::sleep_for(std::chrono::microseconds(200));
                delivering.fetch_sub(1);
                return true;
            });
        submitFrames(writer, 300);
        std::string error;
        ASSERT_TRUE(writer.finish(error)) << error;
        EXPECT_FALSE(overlapped) << "two frames delivered at once, " << encoders << " encoders";
        EXPECT_FALSE(mismatched) << "a frame delivered with another's pixels or encoding";
        ASSERT_EQ(delivered.size(), 300u) << encoders << " encoders";
        for (uint64_t n = 0; n < delivered.size(); ++n)
            ASSERT_EQ(delivered[n], n) << encoders << " encoders";
        EXPECT_LE(writer.buffersMade(), encoders + 1);
    }
}

TEST(FrameWriter, TheGLThreadWaitsOnceEveryBufferIsInFlight)
{
    std::mutex mutex;
    std::condition_variable released;
    bool open = false;
    const auto heldUntilOpen
        = [&](uint64_t, const std::vector<uint8_t>&, const std::vector<uint8_t>&, std::string&) {
              std::unique_lock<std::mutex> lock(mutex);
              released.wait(lock, [&] { return open; });
              return true;
          };
    constexpr size_t depth = 4;
    FrameWriter writer(frameBytes, depth, 2, slowFirst, heldUntilOpen);
    submitFrames(writer, depth); // a slow disk: none of them is delivered yet

    std::future<std::vector<uint8_t>> next = std::async(std::launch::async, [&] { return writer.acquire(); });
    EXPECT_EQ(next.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout)
        << "a fifth buffer while four are in flight";
    {
        std::lock_guard<std::mutex> lock(mutex);
        open = true;
    }
    released.notify_all();
    ASSERT_EQ(next.wait_for(std::chrono::seconds(30)), std::future_status::ready);
    EXPECT_EQ(next.get().size(), frameBytes);
    EXPECT_EQ(writer.buffersMade(), depth);
}

TEST(FrameWriter, TheFirstFailureInFrameOrderStopsTheWriting)
{
    // frame 5 cannot be written; frame 6's encoding fails too, and may fail first
    std::vector<uint64_t> delivered;
    FrameWriter writer(
        frameBytes, 4, 2,
        [](uint64_t frame, const std::vector<uint8_t>& pixels, std::vector<uint8_t>& encoded,
            std::string& error) {
            if (frame == 6) {
                error = "frame 6 cannot be encoded";
                return false;
            }
            return slowFirst(frame, pixels, encoded, error);
        },
        [&](uint64_t frame, const std::vector<uint8_t>&, const std::vector<uint8_t>&, std::string& error) {
            if (frame == 5) {
                error = "frame 5: no space left";
                return false;
            }
            delivered.push_back(frame);
            return true;
        });
    submitFrames(writer, 40); // the frames after the failure still find buffers
    EXPECT_TRUE(writer.failed());
    std::string error;
    EXPECT_FALSE(writer.finish(error));
    EXPECT_EQ(error, "frame 5: no space left");
    EXPECT_EQ(delivered, (std::vector<uint64_t> { 0, 1, 2, 3, 4 }));
}

TEST(FrameWriter, DroppedFramesAreNeitherEncodedNorDelivered)
{
    std::promise<void> firstDelivered;
    std::promise<void> dropped;
    std::shared_future<void> droppedNow = dropped.get_future().share();
    std::atomic<int> encodedAfterDrop { 0 };
    std::atomic<bool> dropping { false };
    std::vector<uint64_t> delivered;
    FrameWriter writer(
        frameBytes, 8, 1,
        [&](uint64_t frame, const std::vector<uint8_t>& pixels, std::vector<uint8_t>& encoded,
            std::string& error) {
            encodedAfterDrop += dropping ? 1 : 0;
            return slowFirst(frame, pixels, encoded, error);
        },
        [&](uint64_t frame, const std::vector<uint8_t>&, const std::vector<uint8_t>&, std::string&) {
            delivered.push_back(frame);
            if (frame == 0) {
                firstDelivered.set_value();
                droppedNow.wait(); // the capture stops while frame 0 is being written
            }
            return true;
        });
    submitFrames(writer, 6);
    firstDelivered.get_future().wait();
    dropping = true;
    writer.dropFrames();
    dropped.set_value();
    std::string error;
    EXPECT_TRUE(writer.finish(error)) << "dropping frames is no failure: " << error;
    EXPECT_EQ(delivered, std::vector<uint64_t> { 0 });
    EXPECT_EQ(encodedAfterDrop, 0);
}

} // namespace
