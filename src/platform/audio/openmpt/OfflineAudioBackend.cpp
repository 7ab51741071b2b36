// Offline music for the capture tool and deterministic tests.
//
// libopenmpt reports the row of the last tick it has processed. A row that starts
// exactly at a frame's instant would therefore show one frame late if the renderer
// stopped right before that frame's first sample. So the renderer is kept one sample
// ahead of what was taken: the position read between two frames is the position of
// the next frame's first sample, and the audio handed out is still exactly the frames
// asked for. Seeks happen one sample late (the sample already rendered ahead plays
// out first); the capture only seeks before the first frame.
#include "platform/audio/openmpt/OfflineAudioBackend.h"

#include "platform/audio/MusicPosition.h"

#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <vector>

namespace platform {

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

void OfflineAudioBackend::startOutput()
{
    outputRunning = true;
}

void OfflineAudioBackend::closeDevice()
{
    forgetModule();
    outputRunning = false;
    taken = 0;
}

void OfflineAudioBackend::forgetModule()
{
    dropModule();
    if (timing != nullptr) {
        openmpt_module_destroy(timing);
        timing = nullptr;
    }
    aheadReady = false;
    seekedTo.reset();
}

uint32_t OfflineAudioBackend::loadModule(const char* path)
{
    std::vector<char> bytes;
    std::unique_ptr<ModuleRenderer> loaded = readModule(path, bytes);
    if (loaded == nullptr) {
        return 0;
    }
    forgetModule();
    timing = openmpt_module_create_from_memory2(bytes.data(), bytes.size(), openmpt_log_func_silent, nullptr,
        openmpt_error_func_default, nullptr, nullptr, nullptr, nullptr);
    return adopt(loaded, taken);
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
    if (!owns(handle) || !renderer->seek(orderOf(position), highOf(position))) {
        return 0;
    }
    ModulePosition target;
    target.order = static_cast<uint16_t>(orderOf(position));
    target.row = static_cast<uint16_t>(highOf(position));
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
        return packed(*seekedTo);
    }
    // with the sample ahead rendered, the record that ends just after it is the
    // position of that sample; otherwise the position where rendering stopped
    const uint64_t at = aheadReady ? taken : renderer->renderedFrames();
    return packed(renderer->positionAt(at));
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
    applyGain(interleavedStereo, frames);
    taken += frames;
    seekedTo.reset();
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
