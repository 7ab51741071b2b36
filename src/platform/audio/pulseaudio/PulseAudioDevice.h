// Playback through the PulseAudio API, which PulseAudio and PipeWire's pulse server
// both answer. The server's own timing says which frame is heard when.
#pragma once

#include "platform/audio/AudioDevice.h"
#include "platform/audio/pulseaudio/StepDivisor.h"

#include <cstddef>
#include <cstdint>
#include <string>

struct pa_context;
struct pa_stream;
struct pa_threaded_mainloop;

namespace platform {

class PulseAudioDevice : public AudioDevice {
public:
    // Audio the server is asked to hold: enough that a busy machine does not run it
    // dry; the position comes from the server's clock, whatever it holds.
    static constexpr int targetMilliseconds = 100;
    static constexpr int requestMilliseconds = 25;

    ~PulseAudioDevice() override;

    bool open(int frequency, Callback callback, void* user) override;
    void close() override;
    void pause(bool paused) override;
    void lock() override;
    void unlock() override;
    double heardFramesAt(double t) override;
    double now() const override;
    bool lost() override { return failed; }
    std::string name() const override { return "PulseAudio"; }
    std::string lastError() const override { return error; }

private:
    static void contextChanged(pa_context* context, void* self);
    static void streamChanged(pa_stream* stream, void* self);
    static void writable(pa_stream* stream, size_t bytes, void* self);
    static void underflow(pa_stream* stream, void* self);
    static void timingUpdated(pa_stream* stream, void* self);
    static void started(pa_stream* stream, void* self);
    static void timedOut(void* self);
    bool waitUntil(bool (*ready)(PulseAudioDevice&), double seconds);
    void write(size_t bytes);
    void fail(const char* what);
    std::string askServerName();
    double graphCycleFrames() const;

    pa_threaded_mainloop* mainloop = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    Callback callback = nullptr;
    void* user = nullptr;
    int rate = 44100;

    // with the mainloop locked
    bool paused = true;
    bool timingKnown = false; // a timing report since output started
    size_t owed = 0;          // bytes asked for while paused, written when output starts
    bool failed = false;
    bool waitTimedOut = false;
    int underruns = 0;
    bool onPipeWire = false; // the server is PipeWire's pulse server
    std::string serverName;
    bool serverAnswered = false;
    int64_t lastReadIndex = 0; // bytes, at the last playing report
    StepDivisor readSteps;     // frames the read index moved between reports
    std::string error;
};

} // namespace platform
