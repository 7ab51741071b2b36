// PipeWire playback on a thread loop. The stream's process callback runs on the
// graph's real-time thread (a normal-priority thread would miss cycles at a small
// quantum on a busy machine); a mutex of its own keeps it out while the backend holds
// lock(), with the thread loop's lock for everything else. Queued buffers carry their
// size in frames, so the stream's queued count is in frames too.
#include "platform/audio/pipewire/PipeWireDevice.h"

#include "platform/Clock.h"

#include <pipewire/pipewire.h>
#include <spa/param/audio/format-utils.h>

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

constexpr uint32_t frameBytes = 2 * sizeof(float);
constexpr double connectSeconds = 3.0;

} // namespace

struct PipeWireDevice::Listener {
    spa_hook hook {};
    pw_stream_events events {};
};

PipeWireDevice::PipeWireDevice()
{
    pw_init(nullptr, nullptr);
}

PipeWireDevice::~PipeWireDevice()
{
    close();
    pw_deinit();
}

bool PipeWireDevice::open(int frequency, Callback newCallback, void* newUser)
{
    close();
    callback = newCallback;
    user = newUser;
    rate = frequency;
    handedFrames = 0;
    lastHandedFrames = 0;
    failed = false;
    error.clear();

    loop = pw_thread_loop_new("vorimel-audio", nullptr);
    if (!loop || pw_thread_loop_start(loop) < 0) {
        error = "PipeWire: no thread loop";
        close();
        return false;
    }
    pw_thread_loop_lock(loop);
    const std::string latency = std::to_string(quantumFrames) + "/" + std::to_string(frequency);
    pw_properties* properties
        = pw_properties_new(PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Playback", PW_KEY_MEDIA_ROLE,
            "Game", PW_KEY_APP_NAME, "vorimel", PW_KEY_NODE_LATENCY, latency.c_str(), nullptr);
    listener = std::make_unique<Listener>();
    listener->events.version = PW_VERSION_STREAM_EVENTS;
    listener->events.process = &PipeWireDevice::process;
    listener->events.state_changed = [](void* self, pw_stream_state old, pw_stream_state state,
                                         const char* message) { stateChanged(self, old, state, message); };
    // pw_stream_new_simple connects to the daemon; null when none answers
    stream
        = pw_stream_new_simple(pw_thread_loop_get_loop(loop), "vorimel", properties, &listener->events, this);
    bool ready = false;
    if (!stream) {
        error = std::string("PipeWire: no daemon (") + std::strerror(errno) + ")";
    } else {
        uint8_t podBuffer[1024];
        spa_pod_builder builder = SPA_POD_BUILDER_INIT(podBuffer, sizeof podBuffer);
        spa_audio_info_raw format {};
        format.format = SPA_AUDIO_FORMAT_F32;
        format.rate = static_cast<uint32_t>(frequency);
        format.channels = 2;
        format.position[0] = SPA_AUDIO_CHANNEL_FL;
        format.position[1] = SPA_AUDIO_CHANNEL_FR;
        const spa_pod* parameters[] = { spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &format) };
        const auto flags = static_cast<pw_stream_flags>(PW_STREAM_FLAG_AUTOCONNECT
            | PW_STREAM_FLAG_MAP_BUFFERS | PW_STREAM_FLAG_INACTIVE | PW_STREAM_FLAG_RT_PROCESS);
        const int connected = pw_stream_connect(stream, PW_DIRECTION_OUTPUT, PW_ID_ANY, flags, parameters, 1);
        if (connected < 0) {
            error = std::string("PipeWire: no daemon (") + std::strerror(-connected) + ")";
        } else {
            // paused once it is linked to a sink; an error or a hung daemon ends the wait
            const double deadline = monotonicSeconds() + connectSeconds;
            const char* message = nullptr;
            pw_stream_state state = pw_stream_get_state(stream, &message);
            while (state != PW_STREAM_STATE_PAUSED && state != PW_STREAM_STATE_STREAMING && !failed
                && monotonicSeconds() < deadline) {
                pw_thread_loop_timed_wait(loop, 1);
                state = pw_stream_get_state(stream, &message);
            }
            ready = (state == PW_STREAM_STATE_PAUSED || state == PW_STREAM_STATE_STREAMING) && !failed;
            if (!ready && error.empty())
                error = std::string("PipeWire: the stream did not start")
                    + (message ? std::string(" (") + message + ")" : "");
        }
    }
    pw_thread_loop_unlock(loop);
    if (!ready) {
        const std::string cause = error;
        close();
        error = cause;
        return false;
    }
    return true;
}

void PipeWireDevice::close()
{
    if (!loop)
        return;
    pw_thread_loop_lock(loop);
    if (stream) {
        pw_stream_destroy(stream);
        stream = nullptr;
    }
    pw_thread_loop_unlock(loop);
    pw_thread_loop_stop(loop);
    pw_thread_loop_destroy(loop);
    loop = nullptr;
    listener.reset();
}

void PipeWireDevice::pause(bool paused)
{
    if (!stream)
        return;
    pw_thread_loop_lock(loop);
    pw_stream_set_active(stream, !paused);
    pw_thread_loop_unlock(loop);
}

void PipeWireDevice::lock()
{
    if (loop) {
        pw_thread_loop_lock(loop);
        processLock.lock();
    }
}

void PipeWireDevice::unlock()
{
    if (loop) {
        processLock.unlock();
        pw_thread_loop_unlock(loop);
    }
}

double PipeWireDevice::heardFramesAt(double t)
{
    pw_time time {};
    if (!stream || failed || pw_stream_get_time_n(stream, &time, sizeof time) < 0 || time.rate.denom == 0)
        return -1.0;
    // The frame handed next is heard after what is queued in the stream, what the
    // resampler holds and the graph's delay, counted from the start of the cycle the
    // report is of; what the stream handed in that cycle goes to the sink in the next
    // one and is heard through it, so the frame after it starts a cycle later still.
    // (Checked against a capture of the sink's monitor in the same graph: the buffer
    // handed in a cycle shows up there one cycle later, and the stream's queued count
    // is 0 between cycles.)
    const double delaySeconds = static_cast<double>(time.delay) * time.rate.num / time.rate.denom;
    const double nextHeardAt = static_cast<double>(time.now) * 1e-9 + delaySeconds
        + static_cast<double>(time.queued + time.buffered + cycleFrames + lastHandedFrames) / rate;
    return static_cast<double>(handedFrames) - (nextHeardAt - t) * rate;
}

double PipeWireDevice::now() const
{
    return monotonicSeconds();
}

void PipeWireDevice::process(void* self)
{
    auto& device = *static_cast<PipeWireDevice*>(self);
    const std::lock_guard<std::mutex> locked(device.processLock);
    pw_buffer* buffer = pw_stream_dequeue_buffer(device.stream);
    if (!buffer)
        return;
    spa_data& data = buffer->buffer->datas[0];
    if (!data.data) {
        pw_stream_queue_buffer(device.stream, buffer);
        return;
    }
    uint32_t frames = data.maxsize / frameBytes;
    if (buffer->requested > 0) {
        frames = std::min(frames, static_cast<uint32_t>(buffer->requested));
        device.cycleFrames = buffer->requested;
    }
    device.callback(device.user, static_cast<float*>(data.data), static_cast<int>(frames));
    data.chunk->offset = 0;
    data.chunk->stride = static_cast<int32_t>(frameBytes);
    data.chunk->size = frames * frameBytes;
    buffer->size = frames;
    device.handedFrames += frames;
    device.lastHandedFrames = frames;
    pw_stream_queue_buffer(device.stream, buffer);
}

void PipeWireDevice::stateChanged(void* self, int, int state, const char* message)
{
    auto& device = *static_cast<PipeWireDevice*>(self);
    if (state == PW_STREAM_STATE_ERROR || (state == PW_STREAM_STATE_UNCONNECTED && device.handedFrames > 0)) {
        device.failed = true;
        device.error = std::string("PipeWire: ") + (message ? message : "the stream ended");
    }
    pw_thread_loop_signal(device.loop, false);
}

} // namespace platform
