// Offline music: libopenmpt rendered in lockstep with a virtual clock, no device. The
// caller takes the audio frame by frame; the position and spectrum reported in between
// are those of the first sample of the frame about to be taken, i.e. of the music at
// that frame's instant.
#pragma once

#include "platform/AudioBackend.h"
#include "platform/ModuleRenderer.h"
#include "platform/Spectrum.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

struct openmpt_module;

namespace platform {

class OfflineAudioBackend : public AudioBackend {
public:
    OfflineAudioBackend();
    ~OfflineAudioBackend() override;
    OfflineAudioBackend(const OfflineAudioBackend&) = delete;
    OfflineAudioBackend& operator=(const OfflineAudioBackend&) = delete;

    // Always succeeds: there is no device to miss.
    bool openDevice(int frequency) override;
    void setVolume(int percent) override;
    // The music runs from here: takeFrames renders the module from now on.
    void startOutput() override;
    void closeDevice() override;

    // One module at a time, as in the real-time backend; a stale handle does nothing.
    uint32_t loadModule(const char* path) override;
    void play(uint32_t handle) override;
    void setPositionScaler(uint32_t handle, int scaler) override;
    void playFrom(uint32_t handle, uint32_t position, bool reset) override;
    int setPosition(uint32_t handle, uint64_t position) override;

    // Renders the first sample of the next frame if it is not rendered yet, so that
    // position() sees a row that starts exactly at the frame's instant.
    void update() override;
    uint64_t position(uint32_t handle) override;
    // The renderer runs one sample ahead of what was taken, and that sample is the next
    // frame's first: ended means the next frame starts at or after the music's end.
    bool ended(uint32_t handle) override;
    // Of the 1024 samples just before the next frame's first sample.
    void spectrum(uint32_t handle, float magnitudes[spectrumBins]) override;

    std::string lastError() const override { return error; }

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

private:
    bool owns(uint32_t handle) const { return handle != 0 && handle == moduleHandle; }
    bool rendersMusic() const { return outputRunning && playing && renderer != nullptr; }
    void renderAhead();
    void dropModule();

    int rate = 44100;
    std::string error;
    float gain = 1.0f;
    bool outputRunning = false;

    std::unique_ptr<ModuleRenderer> renderer;
    openmpt_module* timing = nullptr; // a second copy, only asked for times
    uint32_t moduleHandle = 0;
    uint32_t lastHandle = 0;
    bool playing = false;
    int positionScaler = 1;

    uint64_t taken = 0;
    // The renderer runs one sample ahead of what was taken: that sample, when rendered.
    bool aheadReady = false;
    std::array<float, 2> ahead {};
    // A seek shows at once, before the next frame is rendered from it.
    std::optional<ModulePosition> seekedTo;

    Spectrum analyser;
    std::array<float, Spectrum::size> monoWindow {};
    std::vector<float> scratch;
};

} // namespace platform
