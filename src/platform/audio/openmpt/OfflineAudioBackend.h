// Offline music: libopenmpt rendered in lockstep with a virtual clock, no device. The
// caller takes the audio frame by frame; the position and spectrum reported in between
// are those of the first sample of the frame about to be taken, i.e. of the music at
// that frame's instant.
#pragma once

#include "platform/audio/openmpt/ModuleBackend.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

struct openmpt_module;

namespace platform {

class OfflineAudioBackend : public ModuleBackend {
public:
    OfflineAudioBackend();
    ~OfflineAudioBackend() override;
    OfflineAudioBackend(const OfflineAudioBackend&) = delete;
    OfflineAudioBackend& operator=(const OfflineAudioBackend&) = delete;

    // Always succeeds: there is no device to miss.
    bool openDevice(int frequency) override;
    // The music runs from here: takeFrames renders the module from now on.
    void startOutput() override;
    void closeDevice() override;

    // One module at a time, as in the real-time backend; a stale handle does nothing.
    uint32_t loadModule(const char* path) override;
    void playFrom(uint32_t handle, uint32_t position, bool reset) override;
    int setPosition(uint32_t handle, uint64_t position) override;

    // Renders the first sample of the next frame if it is not rendered yet, so that
    // position() sees a row that starts exactly at the frame's instant.
    void update() override;
    uint64_t position(uint32_t handle) override;

    // Hands out the next `frames` stereo frames (interleaved floats): the module while
    // the output runs and the module plays, silence otherwise (and after its end).
    void takeFrames(float* interleavedStereo, size_t frames);
    // Frames handed out since the output started.
    uint64_t framesTaken() const { return taken; }
    int sampleRate() const { return rate; }
    bool hasModule() const { return moduleHandle != 0; }
    // Seconds from the module's start to the start of the given order; the module's
    // length for an order past its last. 0 without a module.
    double secondsToOrder(int order) const;

protected:
    // The listener is at the next frame's first sample: the renderer runs one sample
    // ahead of what was taken, so ended means the next frame starts at or after the
    // music's end, and the spectrum is of the 1024 samples just before it.
    uint64_t heardFrame() override { return taken; }

private:
    bool rendersMusic() const { return outputRunning && playing && renderer != nullptr; }
    void renderAhead();
    void forgetModule();

    bool outputRunning = false;
    openmpt_module* timing = nullptr; // a second copy, only asked for times

    uint64_t taken = 0;
    // The renderer runs one sample ahead of what was taken: that sample, when rendered.
    bool aheadReady = false;
    std::array<float, 2> ahead {};
    // A seek shows at once, before the next frame is rendered from it.
    std::optional<ModulePosition> seekedTo;

    std::vector<float> scratch;
};

} // namespace platform
