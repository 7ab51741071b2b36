// Builds the demo's module: 15 orders, each its own 32-row pattern, played in
// sequence, with kick and bass accents on rows 0, 8, 16 and 24 of every pattern.
#pragma once

#include "ItModule.h"

namespace datagen {

class SongComposer {
public:
    static constexpr int orderCount = 15;
    static constexpr int rowsPerPattern = 32;

    // Channels (0-based) and sample numbers (1-based) of the parts.
    enum Channel {
        kickChannel,
        snareChannel,
        hatChannel,
        bassChannel,
        padChannel1,
        padChannel2,
        padChannel3,
        leadChannel,
        crashChannel,
        channelCount
    };
    enum SampleNumber {
        kickSample = 1,
        snareSample,
        closedHatSample,
        openHatSample,
        crashSample,
        bassSample,
        padSample,
        leadSample
    };

    static ItModule compose();
};

} // namespace datagen
