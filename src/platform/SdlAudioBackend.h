// The real-time audio backend: a ModuleRenderer fed by an audio device's callback,
// reporting the position and spectrum of what is heard, not of what was rendered.
#pragma once

#include "platform/AudioBackend.h"
#include "platform/AudioDevice.h"
#include "platform/ModuleRenderer.h"
#include "platform/Spectrum.h"

#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace platform {

class SdlAudioBackend : public AudioBackend {
public:
    // Plays through the best device the environment offers (see AudioDevices.h).
    SdlAudioBackend();
    // Plays through the given device (tests drive a fake one).
    explicit SdlAudioBackend(std::unique_ptr<AudioDevice> device);
    // Plays through the first of these that opens.
    explicit SdlAudioBackend(std::vector<std::unique_ptr<AudioDevice>> candidates);
    ~SdlAudioBackend() override;

    bool openDevice(int frequency) override;
    void setVolume(int percent) override;
    // The device starts at the next seek or update, so that a seek made right after
    // starting (the music player's start) is the first thing heard.
    void startOutput() override;
    void closeDevice() override;

    // One module at a time: loading another replaces it and the old handle goes stale.
    // Calls with a stale or zero handle do nothing and report position 0.
    uint32_t loadModule(const char* path) override;
    void play(uint32_t handle) override;
    void setPositionScaler(uint32_t handle, int scaler) override;
    // The reset is implied: libopenmpt's seek stops the notes that were playing.
    void playFrom(uint32_t handle, uint32_t position, bool reset) override;
    // Reported at once; heard once the device has played what it already holds.
    int setPosition(uint32_t handle, uint64_t position) override;

    void update() override;
    uint64_t position(uint32_t handle) override;
    bool ended(uint32_t handle) override;
    void spectrum(uint32_t handle, float magnitudes[spectrumBins]) override;
    void setLeadTime(double seconds) override;

    std::string lastError() const override { return error; }

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

private:
    // Locks the device for the lifetime of a scope.
    class DeviceLock {
    public:
        explicit DeviceLock(AudioDevice& device)
            : locked(device)
        {
            locked.lock();
        }
        ~DeviceLock() { locked.unlock(); }
        DeviceLock(const DeviceLock&) = delete;
        DeviceLock& operator=(const DeviceLock&) = delete;

    private:
        AudioDevice& locked;
    };

    static void audioCallback(void* self, float* interleavedStereo, int frames);
    void fill(float* interleavedStereo, int frames) noexcept;
    uint64_t audibleFrameLocked();
    double heardFramesLocked(double t);
    void continueSilently(double t);
    void startIfPending();
    void renderAhead();
    void renderUntil(uint64_t target);
    bool seek(uint32_t handle, uint64_t position);
    bool owns(uint32_t handle) const { return handle != 0 && handle == moduleHandle; }

    std::vector<std::unique_ptr<AudioDevice>> candidates;
    AudioDevice* device; // the candidate that opened, the first before
    int rate = 44100;
    std::string error;
    double lead = 0.0; // seconds ahead of now that positions are reported for

    // shared with the callback: touched only with the device locked
    std::unique_ptr<ModuleRenderer> renderer;
    uint32_t moduleHandle = 0;
    uint32_t lastHandle = 0;
    bool playing = false;
    float gain = 1.0f;
    int positionScaler = 1;
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

    // main thread only
    Spectrum analyser;
    std::array<float, Spectrum::size> monoWindow {};
};

} // namespace platform
