// Real-time playback: the module is rendered a little ahead of the device into a ring,
// and the device's callback takes from it; the main thread asks where the listener
// is. The device says how many of the frames it was handed are heard at a given moment
// (from its sound server's timing where it has one); the renderer's records turn that
// frame into an order and row. Positions are asked for the moment the frame being
// drawn will be seen, a lead time ahead of now, which may lie beyond what a device with
// a short buffer holds: the ring keeps that much rendered. A seek drops what was
// rendered ahead, so the sound follows within the device's own buffer.
//
// A device that goes away (its sound server died) leaves the music running on the
// system clock, silently, rendered on the main thread, so that the demo still ends.
#include "platform/audio/openmpt/RealTimeAudioBackend.h"

#include "platform/audio/MusicPosition.h"
#include "platform/audio/openmpt/AudioDevices.h"
#include "platform/audio/openmpt/PositionLog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace platform {

RealTimeAudioBackend::RealTimeAudioBackend()
    : RealTimeAudioBackend(audioDeviceCandidates())
{
}

RealTimeAudioBackend::RealTimeAudioBackend(std::unique_ptr<AudioDevice> audioDevice)
    : RealTimeAudioBackend([&] {
        std::vector<std::unique_ptr<AudioDevice>> one;
        one.push_back(std::move(audioDevice));
        return one;
    }())
{
}

RealTimeAudioBackend::RealTimeAudioBackend(std::vector<std::unique_ptr<AudioDevice>> devices)
    : candidates(std::move(devices))
    , device(candidates.front().get())
    , ring(2 * static_cast<size_t>(ringFrames))
{
}

RealTimeAudioBackend::~RealTimeAudioBackend()
{
    closeDevice();
}

bool RealTimeAudioBackend::openDevice(int frequency)
{
    rate = frequency;
    error.clear();
    for (const std::unique_ptr<AudioDevice>& candidate : candidates) {
        if (candidate->open(frequency, &RealTimeAudioBackend::audioCallback, this)) {
            device = candidate.get();
            return true;
        }
        error += (error.empty() ? "" : "; ") + candidate->lastError();
    }
    return false;
}

void RealTimeAudioBackend::startOutput()
{
    startPending = true;
}

void RealTimeAudioBackend::startIfPending()
{
    if (!startPending)
        return;
    startPending = false;
    {
        ModuleLock lock(*this);
        outputStarted = true;
        lastCallback = device->now(); // the device has until a stall's length to begin
    }
    device->pause(false);
}

void RealTimeAudioBackend::closeDevice()
{
    device->pause(true);
    device->close(); // no callback runs after this
    dropModule();
    handedFrames = 0;
    outputStarted = false;
    startPending = false;
    seekTarget.reset();
    lastAudible = 0;
    silent = false;
}

uint32_t RealTimeAudioBackend::loadModule(const char* path)
{
    // parsed without the lock: the callback keeps playing whatever it has meanwhile
    std::vector<char> bytes;
    std::unique_ptr<ModuleRenderer> loaded = readModule(path, bytes);
    if (loaded == nullptr) {
        return 0;
    }
    uint32_t handle = 0;
    {
        ModuleLock lock(*this);
        handle = adopt(loaded, handedFrames);
        seekTarget.reset();
    }
    return handle; // the replaced module is freed here, outside the lock
}

void RealTimeAudioBackend::playFrom(uint32_t handle, uint32_t position, bool)
{
    if (seek(handle, position)) {
        ModuleLock lock(*this);
        playing = true;
    }
    startIfPending();
}

int RealTimeAudioBackend::setPosition(uint32_t handle, uint64_t position)
{
    const bool sought = seek(handle, position);
    startIfPending();
    return sought ? 1 : 0;
}

bool RealTimeAudioBackend::seek(uint32_t handle, uint64_t position)
{
    ModuleLock lock(*this);
    // what was rendered ahead but not handed to the device goes; what the device
    // already holds plays out first
    if (!owns(handle) || !renderer->seek(orderOf(position), highOf(position), handedFrames)) {
        return false;
    }
    ModulePosition target;
    target.order = static_cast<uint16_t>(orderOf(position));
    target.row = static_cast<uint16_t>(highOf(position));
    seekTarget = target;
    seekFrame = handedFrames;
    renderAhead();
    return true;
}

void RealTimeAudioBackend::update()
{
    // the device pulls the audio, position() reads the clock
    startIfPending();
}

uint64_t RealTimeAudioBackend::position(uint32_t handle)
{
    ModuleLock lock(*this);
    if (!owns(handle)) {
        return 0;
    }
    const uint64_t frame = heardFrame();
    if (seekTarget && frame >= seekFrame) {
        seekTarget.reset(); // the target's own sound is heard now
    }
    const ModulePosition heard = seekTarget ? *seekTarget : renderer->positionAt(frame);
    const double now = device->now();
    logPosition(now, now + lead, heard);
    return packed(heard);
}

void RealTimeAudioBackend::setLeadTime(double seconds)
{
    lead = std::clamp(seconds, 0.0, 0.25);
}

uint64_t RealTimeAudioBackend::audibleFrame()
{
    ModuleLock lock(*this);
    return heardFrame();
}

std::string RealTimeAudioBackend::deviceName() const
{
    return device->name();
}

uint64_t RealTimeAudioBackend::heardFrame()
{
    const double now = device->now();
    const double heard = heardFramesLocked(now + lead);
    if (silent && renderer) {
        // no device takes the audio now: what the listener would have heard is dropped
        handedFrames = std::max(handedFrames, static_cast<uint64_t>(std::max(heard - lead * rate, 0.0)));
        renderAhead();
    }
    // never past what was rendered, never back before an earlier answer
    const uint64_t rendered = renderer ? renderer->renderedFrames() : handedFrames;
    const double bounded = std::min(heard, static_cast<double>(rendered));
    if (bounded > static_cast<double>(lastAudible)) {
        lastAudible = static_cast<uint64_t>(std::floor(bounded));
        lastAdvance = now;
    }
    return lastAudible;
}

void RealTimeAudioBackend::renderAhead()
{
    // what the listener hears a lead time from now, and the next callback's share
    renderUntil(handedFrames + static_cast<uint64_t>(lead * rate) + aheadFrames);
}

void RealTimeAudioBackend::renderUntil(uint64_t target)
{
    while (renderer->renderedFrames() < target) {
        const uint64_t rendered = renderer->renderedFrames();
        if (rendered >= handedFrames && rendered - handedFrames >= static_cast<uint64_t>(ringFrames))
            break; // the ring is full
        const size_t at = static_cast<size_t>(rendered % ringFrames);
        const size_t frames = std::min({ static_cast<size_t>(target - rendered),
            static_cast<size_t>(ringFrames) - at, static_cast<size_t>(ModuleRenderer::chunkFrames) });
        if (playing) {
            renderer->render(ring.data() + 2 * at, frames);
        } else {
            renderer->renderSilence(ring.data() + 2 * at, frames);
        }
    }
}

double RealTimeAudioBackend::heardFramesLocked(double t)
{
    if (!silent && outputStarted && (device->lost() || device->now() - lastCallback > stallSeconds)) {
        continueSilently(t);
    }
    if (silent) {
        return silentFrom + (t - silentSince) * rate;
    }
    return device->heardFramesAt(t);
}

void RealTimeAudioBackend::continueSilently(double t)
{
    silent = true;
    // from the last frame known heard, at the moment it was heard
    silentFrom = static_cast<double>(lastAudible);
    silentSince = std::min(lastAdvance > 0.0 ? lastAdvance : t, t);
    const std::string cause = device->lastError().empty() ? device->name() : device->lastError();
    std::fprintf(
        stderr, "vorimel: the sound output stopped (%s); the demo goes on without sound\n", cause.c_str());
    std::fflush(stderr);
}

void RealTimeAudioBackend::audioCallback(void* self, float* interleavedStereo, int frames)
{
    static_cast<RealTimeAudioBackend*>(self)->fill(interleavedStereo, frames);
}

void RealTimeAudioBackend::fill(float* interleavedStereo, int frames) noexcept
{
    // runs on the device's thread with the device locked; libopenmpt's C interface
    // does not throw and the ring is allocated up front
    const size_t count = static_cast<size_t>(std::max(frames, 0));
    lastCallback = device->now();
    if (renderer == nullptr || silent) {
        // once silent the main thread renders: a device that comes back gets silence
        std::fill(interleavedStereo, interleavedStereo + 2 * count, 0.0f);
        if (renderer == nullptr) {
            handedFrames += count;
        }
        return;
    }
    for (size_t done = 0; done < count;) {
        renderUntil(handedFrames + (count - done)); // as much as the ring takes
        const size_t at = static_cast<size_t>(handedFrames % ringFrames);
        const size_t frames
            = std::min({ count - done, static_cast<size_t>(renderer->renderedFrames() - handedFrames),
                static_cast<size_t>(ringFrames) - at });
        float* out = interleavedStereo + 2 * done;
        std::copy(ring.data() + 2 * at, ring.data() + 2 * (at + frames), out);
        applyGain(out, frames);
        handedFrames += frames;
        done += frames;
    }
    renderAhead();
}

} // namespace platform
