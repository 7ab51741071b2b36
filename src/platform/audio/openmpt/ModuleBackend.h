// What the real-time and the offline audio backends share: one module at a time under
// a handle that goes stale when another replaces it, the position scaler, the output
// gain, the reading of a module file, and the end and spectrum of what is heard.
#pragma once

#include "platform/audio/AudioBackend.h"
#include "platform/audio/Spectrum.h"
#include "platform/audio/openmpt/ModuleRenderer.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class ModuleBackend : public AudioBackend {
public:
    void setVolume(int percent) override;
    // Calls with a stale or zero handle do nothing.
    void play(uint32_t handle) override;
    void setPositionScaler(uint32_t handle, int scaler) override;
    // Ended once the listener is at the music's end.
    bool ended(uint32_t handle) override;
    // Of the 1024 samples before the listener's frame.
    void spectrum(uint32_t handle, float magnitudes[spectrumBins]) override;

    std::string lastError() const override { return error; }

protected:
    // Holds the module lock for the lifetime of a scope.
    class ModuleLock {
    public:
        explicit ModuleLock(ModuleBackend& backend)
            : locked(backend)
        {
            locked.lockModule();
        }
        ~ModuleLock() { locked.unlockModule(); }
        ModuleLock(const ModuleLock&) = delete;
        ModuleLock& operator=(const ModuleLock&) = delete;

    private:
        ModuleBackend& locked;
    };

    // Whoever else touches the module (a device's callback) is kept out in between;
    // offline nobody else does.
    virtual void lockModule() { }
    virtual void unlockModule() { }

    // Reads a module file whole and parses it at the current rate, without the lock.
    // Null on failure, with the path and the reason in `error`; `bytes` keeps the file.
    std::unique_ptr<ModuleRenderer> readModule(const char* path, std::vector<char>& bytes);
    // Makes `loaded` the module, stopped, under a new handle with scaler 1, its frame
    // count going on from startFrame; `loaded` then holds the module it replaced (to be
    // freed outside the lock). Called with the lock held.
    uint32_t adopt(std::unique_ptr<ModuleRenderer>& loaded, uint64_t startFrame);
    // Forgets the module (with the lock held where there is one).
    void dropModule();

    bool owns(uint32_t handle) const { return handle != 0 && handle == moduleHandle; }
    uint32_t packed(const ModulePosition& position) const { return packPosition(position, positionScaler); }
    void applyGain(float* interleavedStereo, size_t frames) const;
    // Absolute index of the frame the listener is at now, in the renderer's count;
    // called with the lock held and a module loaded.
    virtual uint64_t heardFrame() = 0;

    int rate = 44100;
    std::string error;
    std::unique_ptr<ModuleRenderer> renderer;
    uint32_t moduleHandle = 0;
    bool playing = false;
    int positionScaler = 1;
    float gain = 1.0f;

private:
    uint32_t lastHandle = 0;
    Spectrum analyser;
    std::array<float, Spectrum::size> monoWindow {};
};

} // namespace platform
