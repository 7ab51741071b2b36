// Playback through PipeWire's own API, for a PipeWire without its pulse server. The
// graph's timing (pw_stream_get_time_n) says which frame is heard when.
#pragma once

#include "platform/audio/AudioDevice.h"

#include <cstdint>
#include <memory>
#include <mutex>

struct pw_thread_loop;
struct pw_stream;

namespace platform {

class PipeWireDevice : public AudioDevice {
public:
    // Frames per graph cycle asked for: the position comes from the graph's clock,
    // so this is chosen against underruns, not for a small delay.
    static constexpr int quantumFrames = 2048;

    PipeWireDevice();
    ~PipeWireDevice() override;

    bool open(int frequency, Callback callback, void* user) override;
    void close() override;
    void pause(bool paused) override;
    void lock() override;
    void unlock() override;
    double heardFramesAt(double t) override;
    double now() const override;
    bool lost() override { return failed; }
    std::string name() const override { return "PipeWire"; }
    std::string lastError() const override { return error; }

private:
    struct Listener;
    static void process(void* self);
    static void stateChanged(void* self, int old, int state, const char* message);

    pw_thread_loop* loop = nullptr;
    pw_stream* stream = nullptr;
    std::unique_ptr<Listener> listener;
    Callback callback = nullptr;
    void* user = nullptr;
    int rate = 44100;

    std::mutex processLock; // held by the process callback
    // with the loop locked
    uint64_t handedFrames = 0;     // and the process lock
    uint64_t cycleFrames = 0;      // frames the graph asks for a cycle, at our rate
    uint64_t lastHandedFrames = 0; // handed in the last cycle, heard in the next
    bool failed = false;
    std::string error;
};

} // namespace platform
