// Builds the demo's module: 15 orders, each its own 32-row pattern, played in
// sequence, with kick and bass accents on rows 0, 8, 16 and 24 of every pattern.
#pragma once

#include "ItModule.h"

namespace datagen {

class SongComposer {
public:
    static constexpr int orderCount = 15;
    static constexpr int rowsPerPattern = 32;

    // Channels (0-based) of the parts.
    enum Channel {
        kickChannel,
        snareChannel,
        clapChannel,
        hatChannel,
        bassChannel,
        padChannel1,
        padChannel2,
        padChannel3,
        padChannel4,
        pluckChannel,
        echoChannel, // the pluck, three rows late and softer, on the other side
        leadChannel,
        answerChannel, // the lead's echo, or its harmony in the climax
        bellChannel,
        effectChannel, // cymbal crash and riser
        channelCount
    };
    // Instrument numbers (1-based); instrument n plays sample n.
    enum Instrument {
        kickInstrument = 1,
        snareInstrument,
        clapInstrument,
        closedHatInstrument,
        openHatInstrument,
        crashInstrument,
        riserInstrument,
        bassInstrument,
        padInstrument,
        pluckInstrument,
        leadInstrument,
        bellInstrument
    };

    static ItModule compose();
};

} // namespace datagen
