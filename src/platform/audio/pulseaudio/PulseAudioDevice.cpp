// PulseAudio playback on a threaded mainloop. The stream starts corked and writes
// nothing until output starts, so the first frame heard is the first the music plays.
// Timing is interpolated by the library between the server's reports
// (PA_STREAM_INTERPOLATE_TIMING): pa_stream_get_time gives the stream time of the
// frame playing now, sink latency included. Right after output starts the library
// would extrapolate from a report taken while corked, so the time counts only once a
// report of the playing stream has come in.
#include "platform/audio/pulseaudio/PulseAudioDevice.h"

#include "platform/Clock.h"
#include "platform/DebugOutput.h"

#include <pulse/pulseaudio.h>

#include <cstdio>
#include <cstring>

namespace platform {

namespace {

constexpr size_t frameBytes = 2 * sizeof(float);
constexpr double connectSeconds = 3.0;

} // namespace

PulseAudioDevice::~PulseAudioDevice()
{
    close();
}

bool PulseAudioDevice::open(int frequency, Callback newCallback, void* newUser)
{
    close();
    callback = newCallback;
    user = newUser;
    rate = frequency;
    failed = false;
    paused = true;
    owed = 0;
    underruns = 0;
    onPipeWire = false;
    lastReadIndex = 0;
    readSteps = StepDivisor();

    mainloop = pa_threaded_mainloop_new();
    if (!mainloop || pa_threaded_mainloop_start(mainloop) < 0) {
        error = "PulseAudio: no mainloop";
        close();
        return false;
    }
    pa_threaded_mainloop_lock(mainloop);
    pa_proplist* properties = pa_proplist_new();
    pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, "vorimel");
    pa_proplist_sets(properties, PA_PROP_MEDIA_ROLE, "game");
    context = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(mainloop), "vorimel", properties);
    pa_proplist_free(properties);
    pa_context_set_state_callback(context, &PulseAudioDevice::contextChanged, this);
    // no autospawn: a server that is not running is not started for us
    bool ready = pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0
        && waitUntil(
            [](PulseAudioDevice& self) {
                const pa_context_state_t state = pa_context_get_state(self.context);
                return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
            },
            connectSeconds)
        && pa_context_get_state(context) == PA_CONTEXT_READY;
    if (!ready) {
        fail("no server");
    } else {
        onPipeWire = askServerName().find("PipeWire") != std::string::npos;
        const pa_sample_spec spec { PA_SAMPLE_FLOAT32NE, static_cast<uint32_t>(frequency), 2 };
        stream = pa_stream_new(context, "vorimel", &spec, nullptr);
        pa_stream_set_state_callback(stream, &PulseAudioDevice::streamChanged, this);
        pa_stream_set_write_callback(stream, &PulseAudioDevice::writable, this);
        pa_stream_set_underflow_callback(stream, &PulseAudioDevice::underflow, this);
        pa_stream_set_latency_update_callback(stream, &PulseAudioDevice::timingUpdated, this);
        pa_stream_set_started_callback(stream, &PulseAudioDevice::started, this);
        pa_buffer_attr attributes;
        attributes.maxlength = static_cast<uint32_t>(-1);
        attributes.tlength
            = static_cast<uint32_t>(pa_usec_to_bytes(targetMilliseconds * PA_USEC_PER_MSEC, &spec));
        attributes.prebuf = static_cast<uint32_t>(-1);
        attributes.minreq
            = static_cast<uint32_t>(pa_usec_to_bytes(requestMilliseconds * PA_USEC_PER_MSEC, &spec));
        attributes.fragsize = static_cast<uint32_t>(-1);
        const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_START_CORKED
            | PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE | PA_STREAM_ADJUST_LATENCY);
        ready = pa_stream_connect_playback(stream, nullptr, &attributes, flags, nullptr, nullptr) >= 0
            && waitUntil(
                [](PulseAudioDevice& self) {
                    const pa_stream_state_t state = pa_stream_get_state(self.stream);
                    return state == PA_STREAM_READY || !PA_STREAM_IS_GOOD(state);
                },
                connectSeconds)
            && pa_stream_get_state(stream) == PA_STREAM_READY;
        if (!ready)
            fail("no playback stream");
    }
    pa_threaded_mainloop_unlock(mainloop);
    if (!ready) {
        const std::string cause = error;
        close();
        error = cause;
        return false;
    }
    failed = false;
    return true;
}

void PulseAudioDevice::close()
{
    if (!mainloop)
        return;
    pa_threaded_mainloop_lock(mainloop);
    if (stream) {
        pa_stream_set_write_callback(stream, nullptr, nullptr);
        pa_stream_set_state_callback(stream, nullptr, nullptr);
        pa_stream_set_underflow_callback(stream, nullptr, nullptr);
        pa_stream_set_latency_update_callback(stream, nullptr, nullptr);
        pa_stream_set_started_callback(stream, nullptr, nullptr);
        pa_stream_disconnect(stream);
        pa_stream_unref(stream);
        stream = nullptr;
    }
    if (context) {
        pa_context_set_state_callback(context, nullptr, nullptr);
        pa_context_disconnect(context);
        pa_context_unref(context);
        context = nullptr;
    }
    pa_threaded_mainloop_unlock(mainloop);
    pa_threaded_mainloop_stop(mainloop);
    pa_threaded_mainloop_free(mainloop);
    mainloop = nullptr;
    if (underruns > 0) {
        char line[64];
        std::snprintf(line, sizeof line, "PulseAudio: %d underruns\n", underruns);
        debugOutput(line);
    }
}

void PulseAudioDevice::pause(bool pause)
{
    if (!stream)
        return;
    pa_threaded_mainloop_lock(mainloop);
    const bool starting = paused && !pause;
    if (starting && owed > 0) {
        // what the server asked for while corked, written now from the start
        paused = false;
        write(owed);
        owed = 0;
    }
    paused = pause;
    timingKnown = false;
    if (!failed) {
        if (pa_operation* operation = pa_stream_cork(stream, pause ? 1 : 0, nullptr, nullptr))
            pa_operation_unref(operation);
        // playback begins with what was written, not once the server's prebuffer is full
        if (starting) {
            if (pa_operation* operation = pa_stream_trigger(stream, nullptr, nullptr))
                pa_operation_unref(operation);
        }
        if (pa_operation* operation = pa_stream_update_timing_info(stream, nullptr, nullptr))
            pa_operation_unref(operation);
    }
    pa_threaded_mainloop_unlock(mainloop);
}

void PulseAudioDevice::lock()
{
    if (mainloop)
        pa_threaded_mainloop_lock(mainloop);
}

void PulseAudioDevice::unlock()
{
    if (mainloop)
        pa_threaded_mainloop_unlock(mainloop);
}

double PulseAudioDevice::heardFramesAt(double t)
{
    pa_usec_t played = 0;
    if (!stream || failed || !timingKnown || pa_stream_get_time(stream, &played) < 0)
        return -1.0;
    // PipeWire's pulse server counts a quantum as played once handed to the graph,
    // a cycle before the sink takes it
    const double frames = static_cast<double>(played) * 1e-6 * rate - (onPipeWire ? graphCycleFrames() : 0.0);
    return paused ? frames : frames + (t - now()) * rate;
}

double PulseAudioDevice::now() const
{
    return monotonicSeconds();
}

void PulseAudioDevice::contextChanged(pa_context* context, void* self)
{
    auto& device = *static_cast<PulseAudioDevice*>(self);
    const pa_context_state_t state = pa_context_get_state(context);
    if (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED)
        device.fail("the server went away");
    pa_threaded_mainloop_signal(device.mainloop, 0);
}

void PulseAudioDevice::streamChanged(pa_stream* stream, void* self)
{
    auto& device = *static_cast<PulseAudioDevice*>(self);
    const pa_stream_state_t state = pa_stream_get_state(stream);
    if (state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED)
        device.fail("the stream ended");
    pa_threaded_mainloop_signal(device.mainloop, 0);
}

void PulseAudioDevice::writable(pa_stream*, size_t bytes, void* self)
{
    auto& device = *static_cast<PulseAudioDevice*>(self);
    if (device.paused)
        device.owed = bytes; // the server's request stands until written
    else
        device.write(bytes);
}

void PulseAudioDevice::underflow(pa_stream*, void* self)
{
    auto& device = *static_cast<PulseAudioDevice*>(self);
    ++device.underruns;
    char line[96];
    std::snprintf(line, sizeof line, "PulseAudio: underrun at %.3f s\n", device.now());
    debugOutput(line);
}

void PulseAudioDevice::started(pa_stream* stream, void*)
{
    // playback began (or resumed after an underrun): a fresh report follows at once
    if (pa_operation* operation = pa_stream_update_timing_info(stream, nullptr, nullptr))
        pa_operation_unref(operation);
}

void PulseAudioDevice::timingUpdated(pa_stream* stream, void* self)
{
    auto& device = *static_cast<PulseAudioDevice*>(self);
    const pa_timing_info* timing = pa_stream_get_timing_info(stream);
    if (timing && timing->playing && !device.paused) {
        device.timingKnown = true;
        // the read index moves a whole graph cycle at a time on PipeWire
        const int64_t step = (timing->read_index - device.lastReadIndex) / static_cast<int64_t>(frameBytes);
        device.lastReadIndex = timing->read_index;
        if (step > 0)
            device.readSteps.add(step);
    }
}

double PulseAudioDevice::graphCycleFrames() const
{
    const int64_t cycle = readSteps.commonDivisor();
    // until the steps tell, the default quantum of 1024 frames at 48 kHz
    return cycle > 0 ? static_cast<double>(cycle) : 1024.0 * rate / 48000.0;
}

std::string PulseAudioDevice::askServerName()
{
    serverName.clear();
    serverAnswered = false;
    pa_operation* operation = pa_context_get_server_info(
        context,
        [](pa_context*, const pa_server_info* info, void* self) {
            auto& device = *static_cast<PulseAudioDevice*>(self);
            if (info && info->server_name)
                device.serverName = info->server_name;
            device.serverAnswered = true;
            pa_threaded_mainloop_signal(device.mainloop, 0);
        },
        this);
    if (operation) {
        waitUntil([](PulseAudioDevice& self) { return self.serverAnswered; }, connectSeconds);
        pa_operation_unref(operation);
    }
    return serverName;
}

void PulseAudioDevice::timedOut(void* self)
{
    auto& device = *static_cast<PulseAudioDevice*>(self);
    device.waitTimedOut = true;
    pa_threaded_mainloop_signal(device.mainloop, 0);
}

bool PulseAudioDevice::waitUntil(bool (*ready)(PulseAudioDevice&), double seconds)
{
    // with the mainloop locked: the state callbacks signal, a timer ends a hung wait
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(mainloop);
    waitTimedOut = false;
    timeval deadline {};
    pa_timeval_add(pa_gettimeofday(&deadline), static_cast<pa_usec_t>(seconds * 1e6));
    pa_time_event* timer = api->time_new(
        api, &deadline, [](pa_mainloop_api*, pa_time_event*, const timeval*, void* self) { timedOut(self); },
        this);
    while (!ready(*this) && !waitTimedOut)
        pa_threaded_mainloop_wait(mainloop);
    api->time_free(timer);
    return !waitTimedOut;
}

void PulseAudioDevice::write(size_t bytes)
{
    while (bytes >= frameBytes && !failed) {
        void* data = nullptr;
        size_t size = bytes;
        if (pa_stream_begin_write(stream, &data, &size) < 0 || !data) {
            fail("cannot write");
            return;
        }
        const size_t frames = size / frameBytes;
        callback(user, static_cast<float*>(data), static_cast<int>(frames));
        if (pa_stream_write(stream, data, frames * frameBytes, nullptr, 0, PA_SEEK_RELATIVE) < 0) {
            fail("cannot write");
            return;
        }
        bytes -= frames * frameBytes;
    }
}

void PulseAudioDevice::fail(const char* what)
{
    failed = true;
    const int code = context ? pa_context_errno(context) : PA_ERR_UNKNOWN;
    error = std::string("PulseAudio: ") + what + " (" + pa_strerror(code) + ")";
}

} // namespace platform
