// What the music player asks of the audio library: device, module, position and
// spectrum. The real-time backend plays through a PulseAudio, PipeWire or SDL2 device;
// the capture tool renders offline in lockstep with its clock; tests script a fake.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Magnitudes delivered by spectrum(): a 1024-sample FFT gives 512 bins.
constexpr int spectrumBins = 512;

class AudioBackend {
public:
    virtual ~AudioBackend() = default;

    // Opens the output device at the given rate with its output stopped.
    // False when there is no usable device; lastError() then names the cause.
    virtual bool openDevice(int frequency) = 0;
    virtual void setVolume(int percent) = 0;
    // Starts (or resumes) the device output.
    virtual void startOutput() = 0;
    // Stops output and frees the device and every module.
    virtual void closeDevice() = 0;

    // Loads a module file; a non-zero handle on success, 0 on failure.
    virtual uint32_t loadModule(const char* path) = 0;
    // Marks the module as playing from where it stands; heard once output runs.
    virtual void play(uint32_t handle) = 0;
    // Factor applied to the row in the positions that position() reports.
    virtual void setPositionScaler(uint32_t handle, int scaler) = 0;
    // Plays from a position (order low 16 bits, row high 16 bits).
    virtual void playFrom(uint32_t handle, uint32_t position, bool reset) = 0;
    // Continues playback from a position (order low 16 bits, row high 16 bits);
    // an order or row the module does not have is ignored. 1 on success, 0 otherwise.
    virtual int setPosition(uint32_t handle, uint64_t position) = 0;

    // Lets the backend do pending work before a query.
    virtual void update() = 0;
    // The audible position: order in the low 16 bits, row times the scaler plus the
    // part of the row already heard (in scaler units) in the high 16 bits.
    virtual uint64_t position(uint32_t handle) = 0;
    // True once the module has been heard to its end (not merely rendered), and for a
    // handle that holds no module: either way there is no more music to wait for.
    virtual bool ended(uint32_t handle) = 0;
    // Magnitudes of a Hann-windowed FFT of the last 1024 audible samples (channels
    // averaged): bin k = |sum w[n] x[n] e^(-2 pi i k n / 1024)| * 2 / 1024.
    virtual void spectrum(uint32_t handle, float magnitudes[spectrumBins]) = 0;
    // Positions and spectra are then those heard this many seconds from now: when the
    // frame being drawn will be on screen. Offline rendering has no device between the
    // music and the listener and ignores it.
    virtual void setLeadTime(double) { }

    virtual std::string lastError() const = 0;
};

} // namespace platform
