// vorimel-webaudio: renders the demo's module into a WAV file and its position table,
// the music the browser build plays. Usage: vorimel-webaudio MODULE OUT.wav OUT.pos
#include "MusicPrerender.h"
#include "WavWriter.h"

#include <cstdio>
#include <fstream>

namespace {

constexpr int sampleRate = 44100;
// the demo ends at order 14, a little over a minute in; a module that never ends stops here
constexpr double maxSeconds = 600.0;

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: vorimel-webaudio MODULE OUT.wav OUT.pos\n");
        return 1;
    }
    WavWriter wav;
    if (!wav.open(argv[2], sampleRate)) {
        std::fprintf(stderr, "vorimel-webaudio: cannot write %s\n", argv[2]);
        return 1;
    }
    std::string error;
    const auto table = prerenderMusic(
        argv[1], sampleRate, maxSeconds,
        [&wav](const float* samples, size_t frames) { return wav.write(samples, frames); }, error);
    if (!table || !wav.finish()) {
        std::fprintf(
            stderr, "vorimel-webaudio: %s\n", table ? "the WAV file could not be finished" : error.c_str());
        return 1;
    }
    const std::string text = table->serialise();
    const std::string partPath = std::string(argv[3]) + ".part";
    std::ofstream out(partPath, std::ios::binary);
    out << text;
    out.close();
    if (!out || std::rename(partPath.c_str(), argv[3]) != 0) {
        std::remove(partPath.c_str());
        std::fprintf(stderr, "vorimel-webaudio: cannot write %s\n", argv[3]);
        return 1;
    }
    std::printf("%s: %.1f s, %zu rows\n", argv[2], static_cast<double>(table->frameCount()) / sampleRate,
        table->rowStarts().size());
    return 0;
}
