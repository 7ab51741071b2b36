// The real-time audio backend: a ModuleRenderer feeding an audio device's callback
// (a PulseAudio, PipeWire or SDL2 device), reporting the position and spectrum of what
// is heard, not of what was rendered.
#pragma once

#include "platform/audio/AudioDevice.h"
#include "platform/audio/openmpt/ModuleBackend.h"

#include <memory>
#include <optional>
#include <vector>

namespace platform {

class RealTimeAudioBackend : public ModuleBackend {
public:
    // Plays through the best device the environment offers (see AudioDevices.h).
    RealTimeAudioBackend();
    // Plays through the given device (tests drive a fake one).
    explicit RealTimeAudioBackend(std::unique_ptr<AudioDevice> device);
    // Plays through the first of these that opens.
    explicit RealTimeAudioBackend(std::vector<std::unique_ptr<AudioDevice>> candidates);
    ~RealTimeAudioBackend() override;

    bool openDevice(int frequency) override;
    // The device starts at the next seek or update, so that a seek made right after
    // starting (the music player's start) is the first thing heard.
    void startOutput() override;
    void closeDevice() override;

    // One module at a time: loading another replaces it and the old handle goes stale.
    // Calls with a stale or zero handle do nothing and report position 0.
    uint32_t loadModule(const char* path) override;
    // The reset is implied: libopenmpt's seek stops the notes that were playing.
    void playFrom(uint32_t handle, uint32_t position, bool reset) override;
    // Reported at once; heard once the device has played what it already holds.
    int setPosition(uint32_t handle, uint64_t position) override;

    void update() override;
    uint64_t position(uint32_t handle) override;
    void setLeadTime(double seconds) override;

    // Absolute index of the frame heard at the lead time from now, counted in frames
    // handed to the device.
    uint64_t audibleFrame();
    // The device that opened, for messages; empty before.
    std::string deviceName() const;

    // A device silent for this long while it should play has stopped for good.
    static constexpr double stallSeconds = 1.0;
    // Rendered beyond what a lead time from now needs: the next callback's share.
    static constexpr int aheadFrames = 2048;
    // Room for what is rendered ahead of the device: 1.5 s at 44100 Hz.
    static constexpr int ringFrames = 65536;

protected:
    // The module is shared with the device's callback.
    void lockModule() override { device->lock(); }
    void unlockModule() override { device->unlock(); }
    // Counted in frames handed to the device; never goes backwards.
    uint64_t heardFrame() override;

private:
    static void audioCallback(void* self, float* interleavedStereo, int frames);
    void fill(float* interleavedStereo, int frames) noexcept;
    double heardFramesLocked(double t);
    void continueSilently(double t);
    void startIfPending();
    void renderAhead();
    void renderUntil(uint64_t target);
    bool seek(uint32_t handle, uint64_t position);

    std::vector<std::unique_ptr<AudioDevice>> candidates;
    AudioDevice* device; // the candidate that opened, the first before
    double lead = 0.0;   // seconds ahead of now that positions are reported for

    // shared with the callback, as the module is: touched only with the device locked
    uint64_t handedFrames = 0; // frames handed to the device so far
    // interleaved stereo, frame n at n % ringFrames: [handedFrames, rendered) is ahead
    std::vector<float> ring;
    bool outputStarted = false;
    bool startPending = false; // the device starts once the first seek is made
    double lastCallback = 0.0; // device clock
    // A seek is reported at once, until the frame where it took effect is heard.
    std::optional<ModulePosition> seekTarget;
    uint64_t seekFrame = 0;
    // The estimate never goes backwards; it last moved on at lastAdvance.
    uint64_t lastAudible = 0;
    double lastAdvance = 0.0;
    // Once the device has gone, the music goes on on the system clock, without sound.
    bool silent = false;
    double silentFrom = 0.0; // frames heard at silentSince
    double silentSince = 0.0;
};

} // namespace platform
