// An audio backend that records every call as text ("play 7") and answers from a
// script: the music player's calls checked without a device or a module.
#pragma once

#include "platform/audio/AudioBackend.h"
#include "platform/audio/MusicPosition.h"

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace testsupport {

class ScriptedBackend : public platform::AudioBackend {
public:
    bool openDevice(int frequency) override { return record("openDevice", frequency), deviceAvailable; }
    void setVolume(int percent) override { record("setVolume", percent); }
    void startOutput() override { record("startOutput"); }
    void closeDevice() override { record("closeDevice"); }
    uint32_t loadModule(const char* path) override { return record("loadModule", path), moduleHandle; }
    void play(uint32_t handle) override { record("play", handle); }
    void setPositionScaler(uint32_t handle, int scaler) override
    {
        record("setPositionScaler", handle, scaler);
    }
    void playFrom(uint32_t handle, uint32_t position, bool reset) override
    {
        record("playFrom", handle, position, reset ? "reset" : "keep");
    }
    int setPosition(uint32_t handle, uint64_t position) override
    {
        record("setPosition", handle);
        positionsSet.push_back(position);
        if (seeksShowAtOnce)
            setOrderRow(platform::orderOf(position), platform::highOf(position));
        return 1;
    }
    void update() override { record("update"); }
    uint64_t position(uint32_t handle) override { return record("position", handle), reported; }
    bool ended(uint32_t handle) override { return record("ended", handle), musicEnded; }
    void spectrum(uint32_t handle, float magnitudes[platform::spectrumBins]) override;
    std::string lastError() const override { return "scripted: no device"; }

    // Reports order in the low half, row * 12 in the high half.
    void setOrderRow(int order, int row) { reported = platform::packPosition(order, row * 12); }

    bool deviceAvailable = true;
    bool seeksShowAtOnce = false; // setPosition changes what position() reports
    uint32_t moduleHandle = 7;
    uint64_t reported = 0;
    bool musicEnded = false;
    float level = 0.0f;
    std::vector<std::string> calls;
    std::vector<uint64_t> positionsSet;

private:
    template <class... Args> void record(const char* name, const Args&... args)
    {
        std::ostringstream call;
        call << name;
        ((call << ' ' << args), ...);
        calls.push_back(call.str());
    }
};

} // namespace testsupport
