// sync_recorder: records a PulseAudio source (a sink's monitor) as 44100 Hz stereo
// float and stamps the recording on CLOCK_MONOTONIC. After every read it asks the
// stream's latency, which says how long ago the next frame to read was captured, and
// writes "<frames read> <now ns> <latency us>" to PREFIX.stamps; the samples go to
// PREFIX.f32. Runs until SIGINT or SIGTERM, or for the given seconds.
// Usage: sync_recorder SOURCE PREFIX [seconds]   (the server comes from PULSE_SERVER)
#include <pulse/pulseaudio.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

constexpr int rate = 44100;
constexpr int channels = 2;
// A reading every 10 ms unless asked otherwise: the finer the readings, the straighter
// the clock fitted to them. On PipeWire a fragment this small makes the graph run every
// client at a 256-frame quantum, well below a desktop's usual 1024: ask for 1024 there.
constexpr uint32_t defaultFragmentFrames = rate / 100;

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int)
{
    stopRequested = 1;
}

int64_t monotonicNs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

struct Recorder {
    std::FILE* samples = nullptr;
    std::FILE* stamps = nullptr;
    pa_stream* stream = nullptr;
    int64_t frames = 0;
    int64_t holes = 0;
    bool ready = false;
    bool failed = false;
    std::vector<char> zeros;
};

void onContextState(pa_context* context, void* user)
{
    auto* recorder = static_cast<Recorder*>(user);
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY:
        recorder->ready = true;
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        recorder->failed = true;
        break;
    default:
        break;
    }
}

void onStreamState(pa_stream* stream, void* user)
{
    const pa_stream_state_t state = pa_stream_get_state(stream);
    if (state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED) {
        static_cast<Recorder*>(user)->failed = true;
    }
}

void onReadable(pa_stream* stream, size_t, void* user)
{
    auto* recorder = static_cast<Recorder*>(user);
    const void* data = nullptr;
    size_t bytes = 0;
    bool read = false;
    while (pa_stream_readable_size(stream) > 0) {
        if (pa_stream_peek(stream, &data, &bytes) < 0 || bytes == 0) {
            break;
        }
        if (data == nullptr) {
            // a hole: the server lost these frames; silence keeps the frame count true
            recorder->zeros.assign(bytes, 0);
            data = recorder->zeros.data();
            ++recorder->holes;
        }
        std::fwrite(data, 1, bytes, recorder->samples);
        recorder->frames += static_cast<int64_t>(bytes / (channels * sizeof(float)));
        pa_stream_drop(stream);
        read = true;
    }
    pa_usec_t latency = 0;
    int negative = 0;
    if (read && pa_stream_get_latency(stream, &latency, &negative) == 0) {
        const long long signedLatency
            = negative ? -static_cast<long long>(latency) : static_cast<long long>(latency);
        std::fprintf(recorder->stamps, "%lld %lld %lld\n", static_cast<long long>(recorder->frames),
            static_cast<long long>(monotonicNs()), signedLatency);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 5) {
        std::fprintf(stderr, "usage: %s SOURCE PREFIX [seconds [fragment frames]]\n", argv[0]);
        return 2;
    }
    const char* source = argv[1];
    const std::string prefix = argv[2];
    const double seconds = argc >= 4 ? std::atof(argv[3]) : 0.0;
    const long asked = argc == 5 ? std::atol(argv[4]) : 0;
    const uint32_t fragmentFrames
        = asked > 0 && asked <= rate ? static_cast<uint32_t>(asked) : defaultFragmentFrames;

    struct sigaction action { };
    action.sa_handler = requestStop; // no SA_RESTART: the main loop's poll wakes up
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    Recorder recorder;
    recorder.samples = std::fopen((prefix + ".f32").c_str(), "wb");
    recorder.stamps = std::fopen((prefix + ".stamps").c_str(), "w");
    if (recorder.samples == nullptr || recorder.stamps == nullptr) {
        std::fprintf(
            stderr, "sync_recorder: cannot write %s.f32 or %s.stamps\n", prefix.c_str(), prefix.c_str());
        return 1;
    }

    pa_mainloop* loop = pa_mainloop_new();
    pa_context* context = pa_context_new(pa_mainloop_get_api(loop), "vorimel sync recorder");
    pa_context_set_state_callback(context, onContextState, &recorder);
    if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        std::fprintf(stderr, "sync_recorder: %s\n", pa_strerror(pa_context_errno(context)));
        return 1;
    }
    while (!recorder.ready && !recorder.failed && !stopRequested) {
        pa_mainloop_iterate(loop, 1, nullptr);
    }
    int status = 0;
    if (recorder.ready) {
        const pa_sample_spec spec { PA_SAMPLE_FLOAT32LE, rate, channels };
        recorder.stream = pa_stream_new(context, "sync recording", &spec, nullptr);
        pa_stream_set_state_callback(recorder.stream, onStreamState, &recorder);
        pa_stream_set_read_callback(recorder.stream, onReadable, &recorder);
        pa_buffer_attr attributes {};
        attributes.maxlength = static_cast<uint32_t>(-1);
        attributes.fragsize = fragmentFrames * channels * sizeof(float);
        const auto flags = static_cast<pa_stream_flags_t>(
            PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE | PA_STREAM_ADJUST_LATENCY);
        if (pa_stream_connect_record(recorder.stream, source, &attributes, flags) < 0) {
            recorder.failed = true;
        }
        const int64_t end = monotonicNs() + static_cast<int64_t>(seconds * 1e9);
        while (!recorder.failed && !stopRequested && (seconds <= 0.0 || monotonicNs() < end)) {
            pa_mainloop_iterate(loop, 1, nullptr);
        }
        if (recorder.failed) {
            std::fprintf(stderr, "sync_recorder: %s\n", pa_strerror(pa_context_errno(context)));
            status = 1;
        }
        pa_stream_disconnect(recorder.stream);
        pa_stream_unref(recorder.stream);
    } else if (recorder.failed) {
        std::fprintf(stderr, "sync_recorder: %s\n", pa_strerror(pa_context_errno(context)));
        status = 1;
    }
    pa_context_disconnect(context);
    pa_context_unref(context);
    pa_mainloop_free(loop);
    std::fclose(recorder.samples);
    std::fclose(recorder.stamps);
    std::fprintf(stderr, "sync_recorder: %lld frames (%.1f s), %lld holes\n",
        static_cast<long long>(recorder.frames), static_cast<double>(recorder.frames) / rate,
        static_cast<long long>(recorder.holes));
    return status;
}
