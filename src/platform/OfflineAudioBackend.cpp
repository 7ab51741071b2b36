// Offline music for the capture tool and deterministic tests.
//
// libopenmpt reports the row of the last tick it has processed. A row that starts
// exactly at a frame's instant would therefore show one frame late if the renderer
// stopped right before that frame's first sample. So the renderer is kept one sample
// ahead of what was taken: the position read between two frames is the position of
// the next frame's first sample, and the audio handed out is still exactly the frames
// asked for. Seeks happen one sample late (the sample already rendered ahead plays
// out first); the capture only seeks before the first frame.
#include "platform/OfflineAudioBackend.h"

#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <vector>

namespace platform {

namespace {

// a module position as the caller packs it: order low 16 bits, row high 16 bits
int orderOf(uint64_t position)
{
    return static_cast<int>(position & 0xFFFFu);
}
int rowOf(uint64_t position)
{
    return static_cast<int>((position >> 16) & 0xFFFFu);
}

} // namespace

OfflineAudioBackend::OfflineAudioBackend() = default;

OfflineAudioBackend::~OfflineAudioBackend()
{
    closeDevice();
}

bool OfflineAudioBackend::openDevice(int frequency)
{
    rate = frequency;
    return true;
}

void OfflineAudioBackend::setVolume(int percent)
{
    gain = static_cast<float>(std::clamp(percent, 0, 100)) / 100.0f;
}

void OfflineAudioBackend::startOutput()
{
    outputRunning = true;
}

void OfflineAudioBackend::closeDevice()
{
    dropModule();
    outputRunning = false;
    taken = 0;
}

void OfflineAudioBackend::dropModule()
{
    renderer.reset();
    if (timing != nullptr) {
        openmpt_module_destroy(timing);
        timing = nullptr;
    }
    moduleHandle = 0;
    playing = false;
    aheadReady = false;
    seekedTo.reset();
}

uint32_t OfflineAudioBackend::loadModule(const char* path)
{
    std::vector<char> bytes;
    if (!ModuleRenderer::readFile(path, bytes, error)) {
        return 0;
    }
    auto loaded = std::make_unique<ModuleRenderer>(rate);
    if (!loaded->loadMemory(bytes.data(), bytes.size())) {
        error = std::string(path) + ": " + loaded->lastError();
        return 0;
    }
    dropModule();
    timing = openmpt_module_create_from_memory2(bytes.data(), bytes.size(), openmpt_log_func_silent, nullptr,
        openmpt_error_func_default, nullptr, nullptr, nullptr, nullptr);
    loaded->startAtFrame(taken);
    renderer = std::move(loaded);
    moduleHandle = ++lastHandle;
    positionScaler = 1;
    return moduleHandle;
}

void OfflineAudioBackend::play(uint32_t handle)
{
    if (owns(handle)) {
        playing = true;
    }
}

void OfflineAudioBackend::setPositionScaler(uint32_t handle, int scaler)
{
    if (owns(handle)) {
        positionScaler = std::max(scaler, 1);
    }
}

void OfflineAudioBackend::playFrom(uint32_t handle, uint32_t position, bool)
{
    if (owns(handle)) {
        setPosition(handle, position);
        playing = true;
    }
}

int OfflineAudioBackend::setPosition(uint32_t handle, uint64_t position)
{
    if (!owns(handle) || !renderer->seek(orderOf(position), rowOf(position))) {
        return 0;
    }
    ModulePosition target;
    target.order = static_cast<uint16_t>(orderOf(position));
    target.row = static_cast<uint16_t>(rowOf(position));
    seekedTo = target;
    return 1;
}

void OfflineAudioBackend::update()
{
    if (rendersMusic()) {
        renderAhead();
    }
}

void OfflineAudioBackend::renderAhead()
{
    if (!aheadReady) {
        renderer->render(ahead.data(), 1);
        aheadReady = true;
    }
}

uint64_t OfflineAudioBackend::position(uint32_t handle)
{
    if (!owns(handle)) {
        return 0;
    }
    if (seekedTo) {
        return ModuleRenderer::packPosition(*seekedTo, positionScaler);
    }
    // with the sample ahead rendered, the record that ends just after it is the
    // position of that sample; otherwise the position where rendering stopped
    const uint64_t at = aheadReady ? taken : renderer->renderedFrames();
    return ModuleRenderer::packPosition(renderer->positionAt(at), positionScaler);
}

void OfflineAudioBackend::spectrum(uint32_t handle, float magnitudes[spectrumBins])
{
    if (!owns(handle)) {
        std::fill(magnitudes, magnitudes + spectrumBins, 0.0f);
        return;
    }
    renderer->monoSamples(taken, monoWindow.data());
    analyser.compute(monoWindow.data(), magnitudes);
}

void OfflineAudioBackend::takeFrames(float* interleavedStereo, size_t frames)
{
    if (frames == 0) {
        return;
    }
    if (!rendersMusic()) {
        std::fill(interleavedStereo, interleavedStereo + 2 * frames, 0.0f);
        if (renderer != nullptr) {
            // the renderer's sample clock keeps counting what was taken
            scratch.resize(2 * frames);
            renderer->renderSilence(scratch.data(), frames);
        }
        taken += frames;
        return;
    }
    renderAhead();
    interleavedStereo[0] = ahead[0];
    interleavedStereo[1] = ahead[1];
    renderer->render(interleavedStereo + 2, frames - 1);
    renderer->render(ahead.data(), 1);
    if (gain != 1.0f) {
        for (size_t i = 0; i < 2 * frames; ++i) {
            interleavedStereo[i] *= gain;
        }
    }
    taken += frames;
    seekedTo.reset();
}

bool OfflineAudioBackend::ended(uint32_t handle)
{
    return !owns(handle) || (renderer->ended() && renderer->endFrame() <= taken);
}

double OfflineAudioBackend::secondsToOrder(int order) const
{
    if (timing == nullptr) {
        return 0.0;
    }
    if (order < 0 || order >= openmpt_module_get_num_orders(timing)) {
        return openmpt_module_get_duration_seconds(timing);
    }
    return openmpt_module_set_position_order_row(timing, order, 0);
}

} // namespace platform
