// Synthesises the module's instruments as signed 16-bit samples, in integers only.
#pragma once

#include "ItModule.h"

#include <cstdint>

namespace datagen {

class SampleSynth {
public:
    // Playback rate of the drum samples; they are played at C-5.
    static constexpr uint32_t drumRate = 44100;
    // Playback rate of the riser, played at C-5: noise needs no more.
    static constexpr uint32_t riserRate = 22050;
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

    // One-shot drums, each dying away to silence.
    static ItSample kick();
    static ItSample snare();
    static ItSample clap();
    static ItSample closedHat();
    static ItSample openHat();
    static ItSample crash();
    // Filtered noise that rises over 32 rows at 100 rows per 15 seconds (4.8 s).
    static ItSample riser();
    // Sustained, looping samples; their instruments shape them in time.
    static ItSample bass();
    static ItSample pad();
    static ItSample pluck();
    static ItSample lead();
    // A pitched one-shot: inharmonic partials that ring out.
    static ItSample bell();
};

} // namespace datagen
