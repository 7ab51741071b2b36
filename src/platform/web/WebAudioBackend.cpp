// The player's side is JavaScript on the page (web/player.js); these calls reach it
// through the module object the page made.
#include "platform/web/WebAudioBackend.h"

#include "platform/audio/MusicPosition.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

constexpr uint32_t theModule = 1;

// seconds of audio the player holds; negative without a player or decoded audio
EM_JS(double, playerSeconds, (),
    { return Module.player && Module.player.buffer ? Module.player.buffer.duration : -1; });
EM_JS(int, playerRate, (), { return Module.player.buffer.sampleRate; });
EM_JS(void, playerSeek, (double seconds), { Module.player.seek(seconds); });
EM_JS(void, playerStop, (), {
    if (Module.player)
        Module.player.stop();
});
// The mono mix (channels averaged) of `count` frames of the decoded audio that end
// just before `end`; frames outside the audio read as 0.
EM_JS(void, playerMonoSamples, (double end, float* out, int count), {
    const buffer = Module.player.buffer;
    const left = buffer.getChannelData(0);
    const right = buffer.numberOfChannels > 1 ? buffer.getChannelData(1) : left;
    const first = end - count;
    const at = out >> 2;
    for (let i = 0; i < count; ++i) {
        const frame = first + i;
        HEAPF32[at + i] = frame >= 0 && frame < left.length ? 0.5 * (left[frame] + right[frame]) : 0;
    }
});
EM_JS(double, playerHeardSeconds, (double lead), { return Module.player.heardSeconds(lead); });
// The position just taken from the player's answer, for the page's position log.
EM_JS(void, playerReported, (int order, int row, double fraction), {
    if (Module.player.reported)
        Module.player.reported(order, row, fraction);
});

} // namespace

std::string WebAudioBackend::tablePathOf(const char* modulePath)
{
    std::string path = modulePath;
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        path.erase(dot);
    return path + ".pos";
}

bool WebAudioBackend::openDevice(int)
{
    if (playerSeconds() < 0.0) {
        error = "the page has no decoded music to play";
        return false;
    }
    return true;
}

void WebAudioBackend::closeDevice()
{
    playerStop();
    loaded = false;
}

uint32_t WebAudioBackend::loadModule(const char* path)
{
    const std::string tablePath = tablePathOf(path);
    if (!table.load(tablePath.c_str(), error))
        return 0;
    // the decoded audio must be the one the table was written for
    const double seconds = static_cast<double>(table.frameCount()) / table.sampleRate();
    if (playerRate() != table.sampleRate() || std::fabs(playerSeconds() - seconds) > 0.01) {
        error = tablePath + " was written for other audio than the page decoded";
        return 0;
    }
    loaded = true;
    return theModule;
}

void WebAudioBackend::followFrames(int fps, std::function<uint64_t()> frameCount)
{
    framesPerSecond = fps;
    shownFrames = std::move(frameCount);
}

bool WebAudioBackend::seekTo(uint64_t frame)
{
    heard = frame; // a seek shows at once, before its first sample is heard
    seekFrame = frame;
    if (shownFrames)
        seekShown = shownFrames();
    playerSeek(static_cast<double>(frame) / table.sampleRate());
    return true;
}

void WebAudioBackend::playFrom(uint32_t handle, uint32_t position, bool)
{
    if (handle != theModule || !loaded)
        return;
    seekTo(table.frameOf(orderOf(position), highOf(position)).value_or(0));
}

int WebAudioBackend::setPosition(uint32_t handle, uint64_t position)
{
    if (handle != theModule || !loaded)
        return 0;
    const auto frame = table.frameOf(orderOf(position), highOf(position));
    if (!frame)
        return 0; // an order the music never plays: it goes on where it is
    return seekTo(*frame) ? 1 : 0;
}

void WebAudioBackend::update()
{
    if (!loaded)
        return;
    if (framesPerSecond > 0) {
        const auto rate = static_cast<uint64_t>(table.sampleRate());
        const auto fps = static_cast<uint64_t>(framesPerSecond);
        const uint64_t shown = shownFrames();
        heard = seekFrame + shown * rate / fps - seekShown * rate / fps;
        return;
    }
    const double seconds = playerHeardSeconds(lead);
    if (seconds < 0.0)
        return;
    heard = std::max(heard, static_cast<uint64_t>(seconds * table.sampleRate()));
    const ModulePosition reported = table.positionAt(heard);
    playerReported(reported.order, reported.row, reported.rowFraction);
}

uint64_t WebAudioBackend::position(uint32_t handle)
{
    if (handle != theModule || !loaded)
        return 0;
    return packPosition(table.positionAt(heard), positionScaler);
}

bool WebAudioBackend::ended(uint32_t handle)
{
    return handle != theModule || !loaded || heard >= table.frameCount();
}

void WebAudioBackend::spectrum(uint32_t handle, float magnitudes[spectrumBins])
{
    if (handle != theModule || !loaded) {
        std::fill(magnitudes, magnitudes + spectrumBins, 0.0f);
        return;
    }
    float mono[Spectrum::size];
    playerMonoSamples(static_cast<double>(heard), mono, Spectrum::size);
    analyser.compute(mono, magnitudes);
}

} // namespace platform
