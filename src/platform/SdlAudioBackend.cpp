// Real-time playback: the device's callback renders the module; the main thread asks
// where the listener is. The audible frame is the count of frames handed to the
// device minus what the device still holds after a callback, moved on by the time
// since that callback on the device's clock. Each callback thus implies when frame 0
// was heard; a late callback only makes that look later, so the earliest of the last
// few callbacks is taken. The short window follows a device whose clock drifts from
// the system's.
#include "platform/SdlAudioBackend.h"

#include "platform/PositionLog.h"
#include "platform/SdlAudioDevice.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace platform {

namespace {

// a module position as the caller packs it: order low 16 bits, row high 16 bits
int orderOf(uint64_t position) { return static_cast<int>(position & 0xFFFFu); }
int rowOf(uint64_t position) { return static_cast<int>((position >> 16) & 0xFFFFu); }

} // namespace

SdlAudioBackend::SdlAudioBackend()
    : SdlAudioBackend(std::make_unique<SdlAudioDevice>())
{
}

SdlAudioBackend::SdlAudioBackend(std::unique_ptr<AudioDevice> audioDevice)
    : device(std::move(audioDevice))
{
}

SdlAudioBackend::~SdlAudioBackend()
{
    closeDevice();
}

bool SdlAudioBackend::openDevice(int frequency)
{
    rate = frequency;
    if (!device->open(frequency, &SdlAudioBackend::audioCallback, this)) {
        error = device->lastError();
        return false;
    }
    return true;
}

void SdlAudioBackend::setVolume(int percent)
{
    DeviceLock lock(*device);
    gain = static_cast<float>(std::clamp(percent, 0, 100)) / 100.0f;
}

void SdlAudioBackend::startOutput()
{
    device->pause(false);
}

void SdlAudioBackend::closeDevice()
{
    device->pause(true);
    device->close(); // no callback runs after this
    renderer.reset();
    moduleHandle = 0;
    playing = false;
    handedFrames = 0;
    callbacks = 0;
    lastAudible = 0;
}

uint32_t SdlAudioBackend::loadModule(const char* path)
{
    // parsed without the lock: the callback keeps playing whatever it has meanwhile
    auto loaded = std::make_unique<ModuleRenderer>(rate);
    if (!loaded->loadFile(path)) {
        error = loaded->lastError();
        return 0;
    }
    {
        DeviceLock lock(*device);
        loaded->startAtFrame(handedFrames);
        renderer.swap(loaded);
        moduleHandle = ++lastHandle;
        playing = false;
        positionScaler = 1;
    }
    return moduleHandle; // the replaced module is freed here, outside the lock
}

void SdlAudioBackend::play(uint32_t handle)
{
    DeviceLock lock(*device);
    if (owns(handle)) {
        playing = true;
    }
}

void SdlAudioBackend::setPositionScaler(uint32_t handle, int scaler)
{
    DeviceLock lock(*device);
    if (owns(handle)) {
        positionScaler = std::max(scaler, 1);
    }
}

void SdlAudioBackend::playFrom(uint32_t handle, uint32_t position, bool)
{
    DeviceLock lock(*device);
    if (owns(handle)) {
        renderer->seek(orderOf(position), rowOf(position));
        playing = true;
    }
}

int SdlAudioBackend::setPosition(uint32_t handle, uint64_t position)
{
    DeviceLock lock(*device);
    if (!owns(handle)) {
        return 0;
    }
    return renderer->seek(orderOf(position), rowOf(position)) ? 1 : 0;
}

void SdlAudioBackend::update()
{
    // nothing pending: the device pulls the audio, position() reads the clock
}

uint64_t SdlAudioBackend::position(uint32_t handle)
{
    DeviceLock lock(*device);
    if (!owns(handle)) {
        return 0;
    }
    const ModulePosition heard = renderer->positionAt(audibleFrameLocked());
    const double now = monotonicSeconds();
    logPosition(now, now, heard);
    return ModuleRenderer::packPosition(heard, positionScaler);
}

bool SdlAudioBackend::ended(uint32_t handle)
{
    DeviceLock lock(*device);
    if (!owns(handle)) {
        return true;
    }
    // the renderer finishes a device buffer before the listener hears the last frame
    return renderer->ended() && audibleFrameLocked() >= renderer->endFrame();
}

void SdlAudioBackend::spectrum(uint32_t handle, float magnitudes[spectrumBins])
{
    {
        DeviceLock lock(*device);
        if (!owns(handle)) {
            std::fill(magnitudes, magnitudes + spectrumBins, 0.0f);
            return;
        }
        renderer->monoSamples(audibleFrameLocked(), monoWindow.data());
    }
    analyser.compute(monoWindow.data(), magnitudes);
}

uint64_t SdlAudioBackend::audibleFrame()
{
    DeviceLock lock(*device);
    return audibleFrameLocked();
}

uint64_t SdlAudioBackend::audibleFrameLocked()
{
    if (callbacks == 0) {
        return lastAudible;
    }
    const int known = std::min(callbacks, static_cast<int>(impliedStarts.size()));
    const double start = *std::min_element(impliedStarts.begin(), impliedStarts.begin() + known);
    const double estimate = (device->now() - start) * rate;
    // never past what the device was given, never back before an earlier answer
    const double bounded = std::min(estimate, static_cast<double>(handedFrames));
    if (bounded > static_cast<double>(lastAudible)) {
        lastAudible = static_cast<uint64_t>(std::floor(bounded));
    }
    return lastAudible;
}

void SdlAudioBackend::audioCallback(void* self, float* interleavedStereo, int frames)
{
    static_cast<SdlAudioBackend*>(self)->fill(interleavedStereo, frames);
}

void SdlAudioBackend::fill(float* interleavedStereo, int frames) noexcept
{
    // runs on the device's thread with the device locked; libopenmpt's C interface
    // does not throw and the renderer's buffers are all preallocated
    const size_t count = static_cast<size_t>(std::max(frames, 0));
    if (renderer == nullptr) {
        std::fill(interleavedStereo, interleavedStereo + 2 * count, 0.0f);
        handedFrames += count;
    } else {
        if (playing) {
            renderer->render(interleavedStereo, count);
        } else {
            renderer->renderSilence(interleavedStereo, count);
        }
        handedFrames = renderer->renderedFrames();
    }
    if (gain != 1.0f) {
        for (size_t i = 0; i < 2 * count; ++i) {
            interleavedStereo[i] *= gain;
        }
    }
    const double held = static_cast<double>(device->bufferFrames());
    impliedStarts[callbacks % impliedStarts.size()] =
        device->now() - (static_cast<double>(handedFrames) - held) / rate;
    callbacks = callbacks == std::numeric_limits<int>::max() ? static_cast<int>(impliedStarts.size()) : callbacks + 1;
}

} // namespace platform
