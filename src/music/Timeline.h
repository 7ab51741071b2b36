// The timeline: at which music order each scene begins; and the frame driver that
// switches scenes, draws the current one and lays the frame overlay.
#pragma once

#include <array>
#include <cstdint>

class Effect;

struct TimelineEntry {
    Effect* scene = nullptr; // null marks the end
    int32_t order = 0;       // music order at which this entry begins
    int32_t index = 0;       // the entry's own position; informational
};

using Timeline = std::array<TimelineEntry, 13>;

// Built from the registry pointers, so it must run after they are created.
Timeline fillTimeline();
// The scene entries that fillTimeline writes, the end entry not counted.
int32_t timelineSceneCount();

// Seconds since the start of loading, as the loader and the frame driver form it.
float secondsSinceStart();

// Draws one frame: 1 when drawn, -1 when there is nothing more to draw.
int drawFrame();
