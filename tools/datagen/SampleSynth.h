// Synthesises the module's instruments as signed 16-bit samples, in integers only.
#pragma once

#include "ItModule.h"

#include <cstdint>

namespace datagen {

class SampleSynth {
public:
    // Playback rate of the drum samples; they are played at C-5.
    static constexpr uint32_t drumRate = 44100;
    // Playback rate of the pitched samples: their fundamental repeats every 256
    // frames, so at this rate C-5 sounds as middle C (261.63 Hz).
    static constexpr uint32_t pitchedRate = 66976;
    // Frames of one period of a pitched sample's fundamental at C-5.
    static constexpr uint32_t periodFrames = 256;
    // Length of the loop of the sustained samples: a whole number of periods of
    // every partial, so the loop joins without a step.
    static constexpr uint32_t loopFrames = 65536;
    // Largest absolute sample value after normalising.
    static constexpr int32_t peakLevel = 30000;

    static ItSample kick();
    static ItSample snare();
    static ItSample closedHat();
    static ItSample openHat();
    static ItSample crash();
    // Sustained, looping samples.
    static ItSample bass();
    static ItSample pad();
    static ItSample lead();
};

} // namespace datagen
