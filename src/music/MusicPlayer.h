// The music: plays the demo's module and reports order, row and a spectrum level each
// frame. A thin layer over the audio backend, which stands where the audio library was.
#pragma once

#include <cstdint>

namespace platform {
class AudioBackend;
}

class MusicPlayer {
public:
    // The backend every call goes to (not owned); set before init.
    void setBackend(platform::AudioBackend* backend) { backend_ = backend; }

    // 0 on success, -1 when there is no usable output device.
    int init();
    // The module handle (non-zero) or 0; also marks the module as playing.
    uint32_t loadModule(const char* fileName);
    void start();
    int playModule();
    int isPlaying() const { return playing; }
    int setPosition(int order, int row);
    void update();
    uint16_t order() const { return order_; }
    uint16_t row() const { return row_; }
    // True from the update that finds the module heard to its end, or finds none loaded.
    bool ended() const { return ended_; }
    // The lowest bin of a 1024-sample FFT of what is being heard.
    float spectrumLevel();
    // Position and level are read for this many seconds ahead: when the frame being
    // drawn will be seen.
    void setLeadTime(double seconds);
    int shutdown();

    int32_t positionScaler = 0; // the backend reports the row times this
    uint32_t musicHandle = 0;   // 0 while no module is loaded
    int32_t playing = 0;        // 1 from the first start on

private:
    uint16_t row_ = 0;
    uint16_t order_ = 0;
    bool ended_ = false;
    platform::AudioBackend* backend_ = nullptr;
};

extern MusicPlayer musicPlayer;

// The player as at program start, its backend unset.
void resetMusicPlayer();
