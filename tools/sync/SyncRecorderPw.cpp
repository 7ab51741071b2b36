// sync_recorder_pw: records what a PipeWire sink plays (its monitor) through
// PipeWire's own API, as 44100 Hz stereo float stamped on CLOCK_MONOTONIC, in the same
// files as sync_recorder: "<frames read> <now ns> <latency us>" lines in PREFIX.stamps,
// the samples in PREFIX.f32. Each graph cycle gives one reading: the cycle's start and
// the graph's delay from the sink to this stream, so it measures the sink's timing
// without going through the pulse server's record latency.
// Usage: sync_recorder_pw SINK PREFIX [seconds [quantum frames]]
#include <pipewire/pipewire.h>
#include <spa/param/audio/format-utils.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int rate = 44100;
constexpr int channels = 2;
constexpr uint32_t frameBytes = channels * sizeof(float);

struct Recorder {
    pw_main_loop* loop = nullptr;
    pw_stream* stream = nullptr;
    std::FILE* samples = nullptr;
    std::FILE* stamps = nullptr;
    long long frames = 0;
    long long cycles = 0;
    long long holes = 0;
    long long lastNow = 0; // ns, the last cycle recorded
    std::vector<char> zeros;
    bool failed = false;
    bool stopping = false;
};

// Runs on the graph's thread: one buffer per cycle, written as it comes.
void onProcess(void* user)
{
    auto& recorder = *static_cast<Recorder*>(user);
    pw_buffer* buffer = pw_stream_dequeue_buffer(recorder.stream);
    if (!buffer)
        return;
    const spa_data& data = buffer->buffer->datas[0];
    pw_time time {};
    if (data.data && data.chunk->size > 0 && pw_stream_get_time_n(recorder.stream, &time, sizeof time) == 0
        && time.rate.denom > 0) {
        // the buffer's first frame left the sink the graph's delay before this cycle
        // started; frames queued in the stream ahead of it are older still
        const double delaySeconds = static_cast<double>(time.delay) * time.rate.num / time.rate.denom
            + static_cast<double>(time.queued + time.buffered) / rate;
        // cycles this stream missed (it was not scheduled in time) lost their audio:
        // silence in their place keeps the frame count on the graph's clock
        const uint32_t offset = std::min(data.chunk->offset, data.maxsize);
        const uint32_t bytes = std::min(data.chunk->size, data.maxsize - offset);
        const long long cycleFrames = bytes / frameBytes;
        const long long cycleNs = cycleFrames * 1000000000LL / rate;
        if (recorder.lastNow > 0 && cycleNs > 0 && time.now - recorder.lastNow > cycleNs * 3 / 2) {
            const long long missed = (time.now - recorder.lastNow + cycleNs / 2) / cycleNs - 1;
            recorder.zeros.assign(static_cast<size_t>(missed * cycleFrames) * frameBytes, 0);
            std::fwrite(recorder.zeros.data(), 1, recorder.zeros.size(), recorder.samples);
            recorder.frames += missed * cycleFrames;
            ++recorder.holes;
        }
        recorder.lastNow = time.now;
        std::fprintf(recorder.stamps, "%lld %lld %lld\n", recorder.frames, static_cast<long long>(time.now),
            static_cast<long long>(delaySeconds * 1e6));
        std::fwrite(static_cast<const char*>(data.data) + offset, 1, bytes, recorder.samples);
        recorder.frames += bytes / frameBytes;
        ++recorder.cycles;
    }
    pw_stream_queue_buffer(recorder.stream, buffer);
}

void onStateChanged(void* user, pw_stream_state, pw_stream_state state, const char* message)
{
    auto& recorder = *static_cast<Recorder*>(user);
    if (!recorder.stopping && (state == PW_STREAM_STATE_ERROR || state == PW_STREAM_STATE_UNCONNECTED)) {
        std::fprintf(stderr, "sync_recorder_pw: %s\n", message ? message : "the stream ended");
        recorder.failed = true;
        pw_main_loop_quit(recorder.loop);
    }
}

void onStop(void* user, int)
{
    pw_main_loop_quit(static_cast<Recorder*>(user)->loop);
}

void onTimeout(void* user, uint64_t)
{
    pw_main_loop_quit(static_cast<Recorder*>(user)->loop);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 5) {
        std::fprintf(stderr, "usage: %s SINK PREFIX [seconds [quantum frames]]\n", argv[0]);
        return 2;
    }
    const std::string sink = argv[1];
    const std::string prefix = argv[2];
    const double seconds = argc >= 4 ? std::atof(argv[3]) : 0.0;
    const long quantum = argc == 5 ? std::atol(argv[4]) : 1024;

    Recorder recorder;
    recorder.samples = std::fopen((prefix + ".f32").c_str(), "wb");
    recorder.stamps = std::fopen((prefix + ".stamps").c_str(), "w");
    if (!recorder.samples || !recorder.stamps) {
        std::fprintf(
            stderr, "sync_recorder_pw: cannot write %s.f32 or %s.stamps\n", prefix.c_str(), prefix.c_str());
        return 1;
    }

    pw_init(&argc, &argv);
    recorder.loop = pw_main_loop_new(nullptr);
    pw_loop* loop = pw_main_loop_get_loop(recorder.loop);
    pw_loop_add_signal(loop, SIGINT, onStop, &recorder);
    pw_loop_add_signal(loop, SIGTERM, onStop, &recorder);
    if (seconds > 0.0) {
        spa_source* timer = pw_loop_add_timer(loop, onTimeout, &recorder);
        timespec after { static_cast<time_t>(seconds),
            static_cast<long>((seconds - static_cast<long>(seconds)) * 1e9) };
        pw_loop_update_timer(loop, timer, &after, nullptr, false);
    }

    const std::string latency = std::to_string(quantum) + "/" + std::to_string(rate);
    pw_properties* properties = pw_properties_new(PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY,
        "Capture", PW_KEY_APP_NAME, "vorimel sync recorder", PW_KEY_TARGET_OBJECT, sink.c_str(),
        PW_KEY_STREAM_CAPTURE_SINK, "true", PW_KEY_NODE_LATENCY, latency.c_str(), nullptr);
    pw_stream_events events {};
    events.version = PW_VERSION_STREAM_EVENTS;
    events.process = onProcess;
    events.state_changed = onStateChanged;
    recorder.stream = pw_stream_new_simple(loop, "sync recording", properties, &events, &recorder);
    int status = 0;
    if (!recorder.stream) {
        std::fprintf(stderr, "sync_recorder_pw: no PipeWire daemon (%s)\n", std::strerror(errno));
        status = 1;
    } else {
        uint8_t podBuffer[1024];
        spa_pod_builder builder = SPA_POD_BUILDER_INIT(podBuffer, sizeof podBuffer);
        spa_audio_info_raw format {};
        format.format = SPA_AUDIO_FORMAT_F32;
        format.rate = rate;
        format.channels = channels;
        format.position[0] = SPA_AUDIO_CHANNEL_FL;
        format.position[1] = SPA_AUDIO_CHANNEL_FR;
        const spa_pod* parameters[] = { spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &format) };
        const auto flags = static_cast<pw_stream_flags>(
            PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS | PW_STREAM_FLAG_RT_PROCESS);
        if (pw_stream_connect(recorder.stream, PW_DIRECTION_INPUT, PW_ID_ANY, flags, parameters, 1) < 0) {
            std::fprintf(stderr, "sync_recorder_pw: cannot connect to %s\n", sink.c_str());
            status = 1;
        } else {
            pw_main_loop_run(recorder.loop);
            status = recorder.failed ? 1 : 0;
            recorder.stopping = true;
        }
        pw_stream_destroy(recorder.stream);
    }
    pw_main_loop_destroy(recorder.loop);
    pw_deinit();
    std::fclose(recorder.samples);
    std::fclose(recorder.stamps);
    std::fprintf(stderr, "sync_recorder_pw: %lld frames (%.1f s) in %lld cycles, %lld holes\n",
        recorder.frames, static_cast<double>(recorder.frames) / rate, recorder.cycles, recorder.holes);
    return status;
}
