// The real-time audio backend: a ModuleRenderer fed by an audio device's callback,
// reporting the position and spectrum of what is audible, not of what was rendered.
#pragma once

#include "platform/AudioBackend.h"
#include "platform/AudioDevice.h"
#include "platform/ModuleRenderer.h"
#include "platform/Spectrum.h"

#include <array>
#include <memory>

namespace platform {

class SdlAudioBackend : public AudioBackend {
public:
    // Plays through an SDL2 audio device.
    SdlAudioBackend();
    // Plays through the given device (tests drive a fake one).
    explicit SdlAudioBackend(std::unique_ptr<AudioDevice> device);
    ~SdlAudioBackend() override;

    bool openDevice(int frequency) override;
    void setVolume(int percent) override;
    void startOutput() override;
    void closeDevice() override;

    // One module at a time: loading another replaces it and the old handle goes stale.
    // Calls with a stale or zero handle do nothing and report position 0.
    uint32_t loadModule(const char* path) override;
    void play(uint32_t handle) override;
    void setPositionScaler(uint32_t handle, int scaler) override;
    // The reset is implied: libopenmpt's seek stops the notes that were playing.
    void playFrom(uint32_t handle, uint32_t position, bool reset) override;
    int setPosition(uint32_t handle, uint64_t position) override;

    void update() override;
    uint64_t position(uint32_t handle) override;
    bool ended(uint32_t handle) override;
    void spectrum(uint32_t handle, float magnitudes[spectrumBins]) override;

    std::string lastError() const override { return error; }

    // Absolute index of the frame heard now, counted in frames handed to the device.
    uint64_t audibleFrame();

private:
    // Locks the device for the lifetime of a scope.
    class DeviceLock {
    public:
        explicit DeviceLock(AudioDevice& device) : locked(device) { locked.lock(); }
        ~DeviceLock() { locked.unlock(); }
        DeviceLock(const DeviceLock&) = delete;
        DeviceLock& operator=(const DeviceLock&) = delete;

    private:
        AudioDevice& locked;
    };

    static void audioCallback(void* self, float* interleavedStereo, int frames);
    void fill(float* interleavedStereo, int frames) noexcept;
    uint64_t audibleFrameLocked();
    bool owns(uint32_t handle) const { return handle != 0 && handle == moduleHandle; }

    std::unique_ptr<AudioDevice> device;
    int rate = 44100;
    std::string error;

    // shared with the callback: touched only with the device locked
    std::unique_ptr<ModuleRenderer> renderer;
    uint32_t moduleHandle = 0;
    uint32_t lastHandle = 0;
    bool playing = false;
    float gain = 1.0f;
    int positionScaler = 1;
    uint64_t handedFrames = 0; // frames handed to the device so far
    // device-clock time at which frame 0 was heard, as each recent callback implies
    std::array<double, 16> impliedStarts{};
    int callbacks = 0;
    uint64_t lastAudible = 0; // the estimate never goes backwards

    // main thread only
    Spectrum analyser;
    std::array<float, Spectrum::size> monoWindow{};
};

} // namespace platform
