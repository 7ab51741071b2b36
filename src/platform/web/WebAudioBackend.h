// The music in a browser: the module rendered beforehand into audio that the page
// plays through Web Audio (the page's player, Module.player), with the position table
// saying which order and row each of its frames is. The position reported is the one
// heard: the player reads the output's own timestamp. The spectrum is computed here
// from the decoded audio, by the same code as on the desktop.
#pragma once

#include "platform/audio/AudioBackend.h"
#include "platform/audio/PositionTable.h"
#include "platform/audio/Spectrum.h"

#include <cstdint>
#include <functional>
#include <string>

namespace platform {

class WebAudioBackend : public AudioBackend {
public:
    // The table of a module file: the same path with ".pos" for its extension.
    static std::string tablePathOf(const char* modulePath);

    // False when the page has no player with its audio decoded.
    bool openDevice(int frequency) override;
    // The page's mute and the browser's volume rule.
    void setVolume(int) override { }
    void startOutput() override { }
    void closeDevice() override;

    // Reads the module's table; the page holds the audio. 0 when the table is missing
    // or does not match the audio.
    uint32_t loadModule(const char* path) override;
    void play(uint32_t) override { }
    void setPositionScaler(uint32_t, int scaler) override { positionScaler = scaler; }
    void playFrom(uint32_t handle, uint32_t position, bool reset) override;
    int setPosition(uint32_t handle, uint64_t position) override;

    // Asks the player once which frame is heard (lead seconds from now).
    void update() override;
    uint64_t position(uint32_t handle) override;
    bool ended(uint32_t handle) override;
    // Of the 1024 frames of the audio heard just before the heard frame.
    void spectrum(uint32_t handle, float magnitudes[spectrumBins]) override;
    void setLeadTime(double seconds) override { lead = seconds; }

    std::string lastError() const override { return error; }

    // Music that follows a count of frames shown instead of the player's clock: frame n
    // after a start or seek hears the sample floor(n * rate / fps) after it, as in
    // vorimel-capture, so that a test can compare the page's frames with the capture's.
    void followFrames(int fps, std::function<uint64_t()> frameCount);

private:
    bool seekTo(uint64_t frame);

    PositionTable table;
    Spectrum analyser;
    bool loaded = false;
    int positionScaler = 1;
    double lead = 0.0;
    uint64_t heard = 0;
    std::string error;

    int framesPerSecond = 0; // 0: the player's clock
    std::function<uint64_t()> shownFrames;
    uint64_t seekFrame = 0; // where the music last started, in its own frames
    uint64_t seekShown = 0; // the frames shown by then
};

} // namespace platform
